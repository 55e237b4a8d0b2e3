// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

class QWidget;

namespace vexalo {

// While Wine starts a Windows renderer: waits until `fd` is readable or `bound` has passed.
// The window stays painted and takes no input; after about a second a modal window over it
// says what is happening, with a busy indicator and a button that stops waiting, as Escape and
// its close control do. Returns at once when the user stops waiting; Wine goes on. Once
// `bound` has passed, the window turns into a notice that the renderer has not appeared and
// may still be starting, with a button that closes it; it also closes once `fd` is readable.
void WaitShowingProgress(QWidget& window, int fd, std::chrono::milliseconds bound);

} // namespace vexalo
