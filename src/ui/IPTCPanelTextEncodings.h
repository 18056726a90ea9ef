#pragma once

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "foundation/PlistValue.h"
#include "metadata/textEncoding.h"

namespace qm {

class UserDefaults;

// The encodings the panel's pop-up offers: every encoding when "iptcPanelShowTextEncodingMode"
// is 1, else the user's list stored under "iptcPanelTextEncodings_2_0" (a sequential archive of
// an array of dictionaries each holding a textEncoding's archive under "theEncoding").
class IPTCPanelTextEncodings {
public:
    static constexpr const char* ListKey = "iptcPanelTextEncodings_2_0";
    static constexpr const char* ModeKey = "iptcPanelShowTextEncodingMode";

    // Entries without "theEncoding" are skipped; data that is no archive gives an empty list.
    static std::vector<textEncoding> unarchive(std::span<const std::uint8_t> data);
    static std::optional<PlistData> archive(const std::vector<textEncoding>& encodings);

    // Follows both keys, telling `changed` after each change of what it offers.
    IPTCPanelTextEncodings(UserDefaults& defaults, std::function<void()> changed);
    ~IPTCPanelTextEncodings();
    IPTCPanelTextEncodings(const IPTCPanelTextEncodings&) = delete;
    IPTCPanelTextEncodings& operator=(const IPTCPanelTextEncodings&) = delete;

    void reloadIPTCPanelTextEncodings();
    std::vector<textEncoding> arrangedObjects() const;

private:
    void load();

    UserDefaults& mDefaults;
    std::function<void()> mChanged;
    std::vector<textEncoding> mEncodings;
    std::vector<std::uint64_t> mObservers;
};

} // namespace qm
