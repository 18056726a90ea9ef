#pragma once

#include <string>

#include "CommandLine.h"
#include "app/BylineAndCaption.h"
#include "app/CreditsReport.h"

namespace qm {
class UserDefaults;
}

namespace qm::cli {

// The stored publication list, read once, and the byline and caption chosen from it.
class ChosenTexts {
public:
    // --publication NAME|INDEX (when `withPublication`), --byline NAME and --caption NAME.
    static BylineAndCaption::Choice takeChoice(CommandLine& arguments, bool withPublication);
    // InputError when a choice names nothing.
    ChosenTexts(const BylineAndCaption::Choice& choice, const UserDefaults& defaults);

    BylineAndCaption::Texts textsForImage(const std::string& path, const IPTCRecordArray& records) const
    {
        return mChosen.textsForImage(path, records);
    }
    // The chosen byline's text for each row of a credits report.
    void addBylineTexts(std::vector<CreditsReport::Row>& rows) const { CreditsReport::addBylineTexts(rows, mChosen); }

private:
    PublicationStore::Publications mPublications; // keeps the chosen text blocks registered
    BylineAndCaption mChosen;
};

// "byline<TAB>TEXT" and "caption<TAB>TEXT" lines, TEXT escaped, "-" alone for an absent text.
std::string textLines(const BylineAndCaption::Texts& texts);

// "\"byline\":…,\"caption\":…", null for an absent text.
std::string textMembersJson(const BylineAndCaption::Texts& texts);

} // namespace qm::cli
