#pragma once

namespace qm {

// Work handed to the main thread runs in Qt's event loop; call once the application exists.
void installQtMainThread();
// After the event loop: tasks posted from other threads are dropped.
void endQtMainThread();

} // namespace qm
