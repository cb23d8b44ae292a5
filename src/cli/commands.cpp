#include "cli/clicontext.h"

namespace mb::cli {

const std::vector<Command> &commands()
{
    static const std::vector<Command> all = [] {
        std::vector<Command> list;
        list.push_back({QStringLiteral("msg"), QStringLiteral("msg NUMBER"),
                        QStringLiteral("Prints message NUMBER of the catalog in the chosen language."),
                        1, 1, nullptr, [](Context &ctx) {
                            bool ok = false;
                            const int n = ctx.args[0].toInt(&ok);
                            if (!ok || n < 1 || n > MessageCatalog::count()) {
                                ctx.err << "message number must be 1.." << MessageCatalog::count() << "\n";
                                return int(Usage);
                            }
                            ctx.out << ctx.catalog.msg(n) << "\n";
                            return int(Ok);
                        }});
        return list;
    }();
    return all;
}

} // namespace mb::cli
