#pragma once

namespace mb {

// For programs that draw without a display (the command line, the demo generator): selects Qt's
// offscreen platform unless another is set, and gives Qt a private runtime folder when the
// session has none, so that it does not warn on every run. Call before the application object.
void prepareHeadlessEnvironment();

} // namespace mb
