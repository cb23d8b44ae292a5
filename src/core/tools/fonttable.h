#pragma once

#include "project/projectsession.h"

namespace mb {

struct RFont;

// The font table as the font window edits it. The table is kept compact: fonts are numbered
// 1..fontCount() and the first empty name ends it, so removing closes the gap and moving swaps
// neighbours. Each operation is one undo step of the session; rows are 0-based (font row + 1).
namespace fonttable {

// Appends "Arial" in size 12; returns its row, or -1 when the table is full.
int add(ProjectSession &session);
// Removes the font at the row, moving the fonts after it up. False when there is none.
bool remove(ProjectSession &session, int row);
// Swaps the font at the row with its neighbour `to` (row - 1 or row + 1). False when either
// is not a font.
bool swap(ProjectSession &session, int row, int to);
// Stores the fields of `font` into the font at the row. An empty name keeps the font's name
// (an emptied name would end the table there). Edits with the same merge key merge.
bool change(ProjectSession &session, int row, const RFont &font, ProjectSession::MergeKey merge = 0);

} // namespace fonttable
} // namespace mb
