#pragma once

namespace qm {

class UserDefaults;

// Registers the named value transformers the windows look up, before any window is made.
void registerValueTransformers(const UserDefaults& defaults);

} // namespace qm
