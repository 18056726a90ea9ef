#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/linux/WaylandSession.h"

namespace qm {
namespace {

TEST(WaylandSessionTest, NotesWhatXWaylandKeepsOnlyInAWaylandSession)
{
    const struct {
        std::map<std::string, std::string> environment;
        bool noted;
    } cases[] = {
        {{{"XDG_SESSION_TYPE", "wayland"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{{"XDG_SESSION_TYPE", "x11"}, {"WAYLAND_DISPLAY", ""}}, false},
        {{{"XDG_SESSION_TYPE", "x11"}}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        const auto note = WaylandSession::limitationsNote([&](const char* name) {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        });
        EXPECT_EQ(note.has_value(), c.noted) << testing::PrintToString(c.environment);
        if (note) {
            EXPECT_NE(note->find("hot keys"), std::string::npos);
        }
    }
}

} // namespace
} // namespace qm
