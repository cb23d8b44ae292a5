#include "cli/clicontext.h"

#include <algorithm>

namespace mb::cli {

namespace {

std::vector<Command> &registry()
{
    static std::vector<Command> all;
    return all;
}

const Registrar msgCommand({10, QStringLiteral("msg"), QStringLiteral("msg NUMBER"),
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

} // namespace

Registrar::Registrar(Command command)
{
    auto &all = registry();
    const auto at = std::upper_bound(all.begin(), all.end(), command.order,
                                     [](int order, const Command &c) { return order < c.order; });
    all.insert(at, std::move(command));
}

const std::vector<Command> &commands() { return registry(); }

int fail(Context &ctx, const QString &text)
{
    ctx.endProgress();
    ctx.err << text << "\n";
    ctx.err.flush();
    return Problem;
}

} // namespace mb::cli
