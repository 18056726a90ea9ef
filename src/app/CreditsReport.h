#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/ScribusDocument.h"
#include "metadata/cIPTCRecord.h"

namespace qm {

class BylineAndCaption;
class UserDefaults;

// What a document printed of each picture: the picture's place and the credits in its metadata,
// decoded as the panel decodes them, with the byline text the current publication makes of them.
class CreditsReport {
public:
    enum class Status { Found, Missing, Unreadable };

    struct Row {
        ScribusDocument::Picture picture;
        Status status = Status::Found;
        // Absent when the picture has no such dataset (or cannot be read).
        std::optional<std::string> byline, credit, source, copyrightNotice, transmissionReference, objectName;
        std::optional<std::string> defaultBylineText; // absent when there is no default byline or no text
        IPTCRecordArray records;                      // every decoded dataset
    };

    // Pages by position, from 1, both included.
    struct PageRange {
        std::size_t first = 1, last = static_cast<std::size_t>(-1);
        bool contains(std::size_t pageIndex) const { return pageIndex + 1 >= first && pageIndex + 1 <= last; }
    };

    // "A-B", "A-", "A" (positions from 1); nothing when the text is not one of those.
    static std::optional<PageRange> parsePageRange(const std::string& text);

    // The pictures on the pages of the range, their files read through the parser cache (a few at
    // once) and decoded with the settings. Any thread: nothing here reads a text block.
    static std::vector<Row> readPictures(const ScribusDocument& document, const PageRange& pages,
                                         const UserDefaults& defaults);
    // Fills in the byline text of `chosen` (alerts of missing fields are not raised). Main thread.
    static void addBylineTexts(std::vector<Row>& rows, const BylineAndCaption& chosen);

    // "found", "missing", "unreadable".
    static const char* statusName(Status status);

    // The report's columns, in order, and one row's values (absent ones as nothing).
    static const std::vector<std::string>& columnNames();
    static std::vector<std::optional<std::string>> columnValues(const Row& row);
};

} // namespace qm
