#pragma once

#include <QIcon>

namespace mb {

// The editor's own small icon set, drawn with QPainter at first use (no image files): one icon
// per tree image index and the pictures of the toolbar and the tree buttons. Each picture is
// drawn on a 16-unit grid and rendered at 16, 24 and 32 pixels.
namespace poolicons {

// The icon of a tree node's image index (11 folder, 4 image, 2 music, 6 sound, 20 movie,
// 15 character, 0 script, 1 item, 3 object, 5 room); an empty icon for any other index.
QIcon node(int imageIndex);

enum class Tool {
    New, Open, Save, SaveAs, Build, Check, Import, Export, Commands, Mouse, Setup, Manual,
    Plus, Minus, NewFolder, ExpandAll, CollapseAll, Duplicate, Rename, Delete, Undo, Redo
};
QIcon tool(Tool which);

} // namespace poolicons
} // namespace mb
