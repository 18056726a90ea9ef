// `text`: the byline and caption of one image file, for scripts.
#include <iostream>

#include "Commands.h"
#include "ImageFiles.h"
#include "TextOutput.h"
#include "app/IPTCDisplay.h"
#include "foundation/UserDefaults.h"

namespace qm::cli {

int runText(CommandLine& arguments, UserDefaults& defaults)
{
    const bool json = arguments.takeFlag("--json");
    const auto choice = ChosenTexts::takeChoice(arguments, true);
    const auto files = arguments.positionals();
    if (files.empty())
        throw UsageError("missing FILE");
    if (files.size() > 1)
        throw UsageError("unexpected argument " + files[1]);
    const ChosenTexts chosen(choice, defaults);
    const auto parser = openParsedImage(files[0]);
    // Decoded as the panel would decode it, without making it the panel's current image.
    const auto shown = IPTCDisplay::updateDisplayedIPTCData(parser, defaults, false);
    const auto texts = chosen.textsForImage(files[0], shown.IPTCRecords.value_or(IPTCRecordArray{}));
    if (json)
        std::cout << '{' << textMembersJson(texts) << "}\n";
    else
        std::cout << textLines(texts);
    return 0;
}

} // namespace qm::cli
