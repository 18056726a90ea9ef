#pragma once

namespace qm::cli {

// Runs the tasks handed to the main thread until SIGINT or SIGTERM arrives.
void runTasksUntilInterrupted();

} // namespace qm::cli
