#pragma once
// Field-by-field comparison of project records for the tests: names the first field in which
// two records differ ("characters[2].fontIndex: 85 != 2"), so a test that compares what was read
// with what it must read says which field went wrong instead of "not equal".
//
// Every record's fields are listed here in declaration order. The records' own operator== (which
// compares every member) guards the list: when operator== finds a difference that no listed
// field shows, the result says so, and a field added to a record without being added here makes
// the comparing test fail instead of passing silently.

#include "project/projectmodel.h"

#include <QString>
#include <QStringList>
#include <QTest>

#include <array>
#include <cstdint>
#include <type_traits>

namespace mb::testing {

namespace recordcompare {

inline QString show(const QString &s) { return u'"' + s + u'"'; }
inline QString show(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
template <typename T>
    requires std::is_arithmetic_v<T>
QString show(T v)
{
    return QString::number(v);
}

// Each diff() returns "" when equal, otherwise the path below the field and what differs:
// ": a != b", "[3]: a != b", ".name: ..." ...
template <typename T>
    requires(std::is_arithmetic_v<T>)
QString diff(T a, T b)
{
    if (a == b)
        return {};
    return QStringLiteral(": ") + show(a) + QStringLiteral(" != ") + show(b);
}

inline QString diff(const QString &a, const QString &b)
{
    return a == b ? QString() : QStringLiteral(": ") + show(a) + QStringLiteral(" != ") + show(b);
}

inline QString diff(const QStringList &a, const QStringList &b)
{
    if (a == b)
        return {};
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            return QStringLiteral("[%1]").arg(i) + diff(a[i], b[i]);
    const bool aLonger = a.size() > b.size();
    const qsizetype i = std::min(a.size(), b.size());
    return QStringLiteral(": %1 lines != %2 lines, first extra [%3] ").arg(a.size()).arg(b.size()).arg(i) +
           show(aLonger ? a[i] : b[i]);
}

// Every overload is declared before the templates that call them.
inline QString diff(const Rframe &a, const Rframe &b);
inline QString diff(const ItemFrame &a, const ItemFrame &b);
inline QString diff(const Walkmap &a, const Walkmap &b);
inline QString diff(const Rfxshape &a, const Rfxshape &b);
inline QString diff(const Rroomobj &a, const Rroomobj &b);
inline QString diff(const RItem &a, const RItem &b);
inline QString diff(const Robj &a, const Robj &b);
inline QString diff(const Rcharacter &a, const Rcharacter &b);
inline QString diff(const Rcutscene &a, const Rcutscene &b);
inline QString diff(const Rroom &a, const Rroom &b);
inline QString diff(const Rroomchar &a, const Rroomchar &b);
inline QString diff(const RFont &a, const RFont &b);
inline QString diff(const LangLists &a, const LangLists &b);
inline QString diff(const RLang &a, const RLang &b);
inline QString diff(const Rmouse &a, const Rmouse &b);
inline QString diff(const CommandRow &a, const CommandRow &b);
inline QString diff(const BoolEntry &a, const BoolEntry &b);
template <typename T, size_t N>
QString diff(const std::array<T, N> &a, const std::array<T, N> &b);

#define MB_FIELD(f)                                                                                 \
    if (QString d = diff(a.f, b.f); !d.isEmpty())                                                   \
        return QStringLiteral("." #f) + d;

inline QString diff(const Rframe &a, const Rframe &b)
{
    MB_FIELD(image) MB_FIELD(image2) MB_FIELD(script) MB_FIELD(x) MB_FIELD(y) MB_FIELD(x2) MB_FIELD(y2)
    return {};
}

inline QString diff(const ItemFrame &a, const ItemFrame &b)
{
    MB_FIELD(image) MB_FIELD(script)
    return {};
}

template <typename T, size_t N>
QString diff(const std::array<T, N> &a, const std::array<T, N> &b)
{
    if (a == b)
        return {};
    for (size_t i = 0; i < N; ++i)
        if (QString d = diff(a[i], b[i]); !d.isEmpty())
            return QStringLiteral("[%1]").arg(i) + d;
    return {};
}

template <typename T, int States, int Frames>
QString diff(const FrameGrid<T, States, Frames> &a, const FrameGrid<T, States, Frames> &b)
{
    for (int s = 0; s < States; ++s)
        if (QString d = diff(a[s], b[s]); !d.isEmpty())
            return QStringLiteral("[%1]").arg(s) + d;
    return {};
}

inline QString diff(const Walkmap &a, const Walkmap &b)
{
    for (int c = 1; c <= Walkmap::Columns; ++c)
        for (int r = 1; r <= Walkmap::Rows; ++r) {
            const QString cell = QStringLiteral("(%1,%2)").arg(c).arg(r);
            if (a.blocked(c, r) != b.blocked(c, r))
                return cell + QStringLiteral(".blocked") + diff(a.blocked(c, r), b.blocked(c, r));
            if (a.hasScript(c, r) != b.hasScript(c, r))
                return cell + QStringLiteral(".hasScript") + diff(a.hasScript(c, r), b.hasScript(c, r));
            const Script *sa = a.findScript(c, r), *sb = b.findScript(c, r);
            if (bool(sa) != bool(sb))
                return cell + QStringLiteral(".script: ") + (sa ? QStringLiteral("a list") : QStringLiteral("none")) +
                       QStringLiteral(" != ") + (sb ? QStringLiteral("a list") : QStringLiteral("none"));
            if (sa)
                if (QString d = diff(*sa, *sb); !d.isEmpty())
                    return cell + QStringLiteral(".script") + d;
        }
    return {};
}

inline QString diff(const Rfxshape &a, const Rfxshape &b)
{
    MB_FIELD(flag1) MB_FIELD(flag2) MB_FIELD(int1) MB_FIELD(text) MB_FIELD(int2) MB_FIELD(dragX) MB_FIELD(dragY)
    MB_FIELD(int3) MB_FIELD(int4) MB_FIELD(int5) MB_FIELD(cornerX) MB_FIELD(cornerY)
    return {};
}

inline QString diff(const Rroomobj &a, const Rroomobj &b)
{
    MB_FIELD(depthLine) MB_FIELD(flag) MB_FIELD(byteValue) MB_FIELD(script) MB_FIELD(objectName)
    MB_FIELD(instanceName) MB_FIELD(x) MB_FIELD(y) MB_FIELD(state)
    return {};
}

inline QString diff(const RoomPlacements &a, const RoomPlacements &b)
{
    if (a.size() != b.size())
        return QStringLiteral(": %1 slots != %2 slots").arg(a.size()).arg(b.size());
    for (size_t i = 0; i < a.size(); ++i)
        if (QString d = diff(a[i], b[i]); !d.isEmpty())
            return QStringLiteral("[%1]").arg(i) + d;
    return {};
}

inline QString diff(const RItem &a, const RItem &b)
{
    MB_FIELD(name) MB_FIELD(speed) MB_FIELD(frames) MB_FIELD(script)
    return {};
}

inline QString diff(const Robj &a, const Robj &b)
{
    MB_FIELD(name) MB_FIELD(frames) MB_FIELD(speed) MB_FIELD(width) MB_FIELD(height) MB_FIELD(flag)
    return {};
}

inline QString diff(const Rcharacter &a, const Rcharacter &b)
{
    MB_FIELD(name) MB_FIELD(frames) MB_FIELD(extraNames) MB_FIELD(speed) MB_FIELD(width) MB_FIELD(height)
    MB_FIELD(textColor) MB_FIELD(footX) MB_FIELD(footY) MB_FIELD(walkSpeed) MB_FIELD(dontzoom) MB_FIELD(leftani)
    MB_FIELD(memres) MB_FIELD(ghostmode) MB_FIELD(scale) MB_FIELD(walkSound) MB_FIELD(fontIndex)
    return {};
}

inline QString diff(const Rcutscene &a, const Rcutscene &b)
{
    MB_FIELD(name) MB_FIELD(script)
    return {};
}

inline QString diff(const Rroom &a, const Rroom &b)
{
    MB_FIELD(name) MB_FIELD(width) MB_FIELD(height) MB_FIELD(scrollX) MB_FIELD(scrollY) MB_FIELD(zoomTop)
    MB_FIELD(zoomBottom) MB_FIELD(zoomStep) MB_FIELD(background) MB_FIELD(parallax) MB_FIELD(walkmap)
    MB_FIELD(objects) MB_FIELD(flag1) MB_FIELD(flag2) MB_FIELD(values) MB_FIELD(factors) MB_FIELD(script) MB_FIELD(fx)
    return {};
}

inline QString diff(const Rroomchar &a, const Rroomchar &b)
{
    MB_FIELD(characterName) MB_FIELD(instanceName) MB_FIELD(roomName) MB_FIELD(x) MB_FIELD(y) MB_FIELD(byteValue)
    MB_FIELD(flag1) MB_FIELD(flag2) MB_FIELD(script)
    return {};
}

inline QString diff(const RFont &a, const RFont &b)
{
    MB_FIELD(name) MB_FIELD(bold) MB_FIELD(italic) MB_FIELD(size) MB_FIELD(outline) MB_FIELD(shadow) MB_FIELD(fill)
    MB_FIELD(fading) MB_FIELD(charset)
    return {};
}

inline QString diff(const LangLists &a, const LangLists &b)
{
    for (int i = 0; i < LangLists::Count; ++i)
        if (QString d = diff(a.list(i), b.list(i)); !d.isEmpty())
            return u'.' + QLatin1String(LangLists::listName(i)) + d;
    return {};
}

inline QString diff(const RLang &a, const RLang &b)
{
    MB_FIELD(name) MB_FIELD(lists)
    return {};
}

inline QString diff(const Rmouse &a, const Rmouse &b)
{
    MB_FIELD(frames) MB_FIELD(command) MB_FIELD(speed) MB_FIELD(clickX) MB_FIELD(clickY) MB_FIELD(useWheel)
    return {};
}

inline QString diff(const MediaTable &a, const MediaTable &b)
{
    for (int i = 1; i <= MediaTable::Slots; ++i) {
        if (QString d = diff(a.name(i), b.name(i)); !d.isEmpty())
            return QStringLiteral("[%1].name").arg(i) + d;
        if (QString d = diff(a.path(i), b.path(i)); !d.isEmpty())
            return QStringLiteral("[%1].path").arg(i) + d;
    }
    return {};
}

inline QString diff(const GameSettings &a, const GameSettings &b)
{
    MB_FIELD(projectName) MB_FIELD(resolutionChoice) MB_FIELD(gameWidth) MB_FIELD(gameHeight) MB_FIELD(gameFonts)
    MB_FIELD(gameIcon) MB_FIELD(loadingImage) MB_FIELD(useTextsceneBg) MB_FIELD(textsceneBg) MB_FIELD(startScript)
    MB_FIELD(mainScript) MB_FIELD(anywhereObj) MB_FIELD(screenchange) MB_FIELD(textonoff) MB_FIELD(itemicon)
    MB_FIELD(commandtext) MB_FIELD(bedienfeld) MB_FIELD(noanti) MB_FIELD(oben) MB_FIELD(groupitems) MB_FIELD(protect)
    MB_FIELD(actionTextHeight) MB_FIELD(ownMenu) MB_FIELD(ownMenuRoom) MB_FIELD(taskHeight) MB_FIELD(taskRoom)
    MB_FIELD(taskPopup) MB_FIELD(silentDelete) MB_FIELD(infoLine) MB_FIELD(taskHide) MB_FIELD(rightClickMode)
    MB_FIELD(fadebarmenu) MB_FIELD(scenefadebar) MB_FIELD(transany) MB_FIELD(coinfadebar) MB_FIELD(targacolor)
    MB_FIELD(bordercolor) MB_FIELD(backgroundcolor) MB_FIELD(textcolor) MB_FIELD(offtextcolor) MB_FIELD(infotextcolor)
    MB_FIELD(textsceneStyle) MB_FIELD(textsceneBorder) MB_FIELD(textsceneBcolor) MB_FIELD(textsceneArea)
    MB_FIELD(textsceneSelected) MB_FIELD(shape1) MB_FIELD(multipleChoice) MB_FIELD(muteMusic) MB_FIELD(coinInterface)
    MB_FIELD(autoPopup) MB_FIELD(coinRoom) MB_FIELD(coinTop) MB_FIELD(coinLeft)
    return {};
}

inline QString diff(const CommandRow &a, const CommandRow &b)
{
    MB_FIELD(name) MB_FIELD(text)
    return {};
}

inline QString diff(const BoolEntry &a, const BoolEntry &b)
{
    MB_FIELD(name) MB_FIELD(value)
    return {};
}

template <typename T>
QString diffVector(const std::vector<T> &a, const std::vector<T> &b)
{
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (QString d = diff(a[i], b[i]); !d.isEmpty())
            return QStringLiteral("[%1]").arg(i) + d;
    if (a.size() != b.size())
        return QStringLiteral(": %1 entries != %2 entries").arg(a.size()).arg(b.size());
    return {};
}

inline QString diff(const CommandList &a, const CommandList &b)
{
    if (QString d = diffVector(a.rows, b.rows); !d.isEmpty())
        return QStringLiteral(".rows") + d;
    if (QString d = diffVector(a.bools, b.bools); !d.isEmpty())
        return QStringLiteral(".bools") + d;
    MB_FIELD(linktext) MB_FIELD(givelink) MB_FIELD(walktext)
    return {};
}

inline QString diff(const TreeNode &a, const TreeNode &b)
{
    MB_FIELD(text) MB_FIELD(imageIndex)
    for (size_t i = 0; i < std::min(a.children.size(), b.children.size()); ++i)
        if (QString d = diff(*a.children[i], *b.children[i]); !d.isEmpty())
            return QStringLiteral(" > ") + show(a.children[i]->text) + d;
    if (a.children.size() != b.children.size())
        return QStringLiteral(": %1 children != %2 children").arg(a.children.size()).arg(b.children.size());
    return {};
}

inline QString diff(const ProjectTree &a, const ProjectTree &b)
{
    for (size_t i = 0; i < std::min(a.roots.size(), b.roots.size()); ++i)
        if (QString d = diff(*a.roots[i], *b.roots[i]); !d.isEmpty())
            return QStringLiteral(" root %1").arg(i) + d;
    if (a.roots.size() != b.roots.size())
        return QStringLiteral(": %1 roots != %2 roots").arg(a.roots.size()).arg(b.roots.size());
    return {};
}

inline QString diff(const NameLists &a, const NameLists &b)
{
    for (int i = 0; i < NameLists::Count; ++i)
        if (QString d = diff(a[i], b[i]); !d.isEmpty())
            return QStringLiteral("[%1]").arg(i) + d;
    return {};
}

template <typename T>
QString diff(const SlotTable<T> &a, const SlotTable<T> &b)
{
    if (a.size() != b.size())
        return QStringLiteral(": %1 slots != %2 slots").arg(a.size()).arg(b.size());
    for (int slot = 1; slot <= a.size(); ++slot)
        if (!(a[slot] == b[slot]))
            return QStringLiteral("[%1]").arg(slot) + diff(a[slot], b[slot]);
    return {};
}

#undef MB_FIELD

} // namespace recordcompare

// "" when the records are equal; otherwise the first differing field, as "fontIndex: 85 != 2"
// (the first value is `a`'s). Works for every record of projectmodel.h.
template <typename T>
QString firstDifference(const T &a, const T &b)
{
    QString d = recordcompare::diff(a, b);
    if (d.startsWith(u'.'))
        d.remove(0, 1);
    if constexpr (requires { a == b; }) {
        if (d.isEmpty() && !(a == b))
            return QStringLiteral("the records differ in a field that recordcompare.h does not list");
    }
    return d;
}

// Which parts of two projects are compared: the saved content always; the name lists (derived
// from the tables when a project is read) on request.
enum class Compare { Content, ContentAndNameLists };

// The first difference in what a project file holds: settings, commands and bools, trees, media,
// mouse cursors, every table slot by slot, the language texts and the last game folder. Session
// state (folders, flags, counters, selections) is not compared.
inline QString firstDifference(const ProjectModel &a, const ProjectModel &b, Compare what = Compare::Content)
{
    using recordcompare::diff;
#define MB_PART(f)                                                                                  \
    if (QString d = diff(a.f, b.f); !d.isEmpty())                                                   \
        return QStringLiteral(#f) + d;
    MB_PART(lastGameFolder) MB_PART(settings) MB_PART(commands) MB_PART(mediaTree) MB_PART(gameTree)
    for (int k = 0; k < 4; ++k)
        if (QString d = diff(a.media[k], b.media[k]); !d.isEmpty())
            return QStringLiteral("media[%1]").arg(k) + d;
    MB_PART(mouse) MB_PART(fonts) MB_PART(cutscenes) MB_PART(items) MB_PART(objects) MB_PART(characters)
    MB_PART(roomChars) MB_PART(rooms) MB_PART(origin) MB_PART(languages)
    if (what == Compare::ContentAndNameLists)
        MB_PART(names)
#undef MB_PART
    return {};
}

} // namespace mb::testing

// Fails the test with the first differing field when the records differ.
#define MB_COMPARE_RECORDS(actual, expected, ...)                                                   \
    do {                                                                                            \
        const QString mbDifference = ::mb::testing::firstDifference(actual, expected __VA_OPT__(, ) __VA_ARGS__); \
        if (!mbDifference.isEmpty())                                                                \
            QFAIL(qPrintable(QStringLiteral(#actual " != " #expected ": ") + mbDifference));        \
    } while (false)
