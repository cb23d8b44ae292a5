#include "app/commandline.h"

namespace mb {

StartupArguments parseStartupArguments(const QStringList &args)
{
    StartupArguments out;
    QStringList parts;
    for (const QString &a : args.mid(0, 9)) {
        if (a == QLatin1String("-16bit"))
            out.sixteenBit = true;
        else
            parts << a;
    }
    out.projectPath = parts.join(u' ');
    return out;
}

} // namespace mb
