#include "app/TextBlockSpecPasteboard.h"

#include <vector>

#include "foundation/ArchiveReader.h"
#include "foundation/Log.h"
#include "platform/Pasteboard.h"

namespace qm {

namespace {

// Sets one property of the target from the pasted text block.
using PasteProperty = void (*)(textBlockSpec& target, const textBlockSpec& pasted);

struct Group {
    unsigned bit;
    std::vector<PasteProperty> properties;
};

// The groups in the order they are pasted, each property in its group's order. The pasted text
// block was read from the pasteboard for this paste alone, so its rules, pairs, field code and hot
// key go to the target unshared.
const std::vector<Group>& groups()
{
    static const std::vector<Group> table{
        {TextBlockSpecPasteboard::TextExtraction,
         {
             [](textBlockSpec& t, const textBlockSpec& p) { t.setPrefix(p.prefix()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setSuffix(p.suffix()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextGenerationIPTCField(p.textGenerationIPTCField()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setSearchReplace(p.searchReplace()); },
             [](textBlockSpec& t, const textBlockSpec& p) {
                 t.setInsertEndOfNestedStyleCharacter(p.insertEndOfNestedStyleCharacter());
             },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextSource(p.textSource()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextCase(p.textCase()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextConcatSpecs(p.textConcatSpecs()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setSearchReplaceSpecs(p.searchReplaceSpecs()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setStripCRs(p.stripCRs()); },
         }},
        {TextBlockSpecPasteboard::TextFrame,
         {
             [](textBlockSpec& t, const textBlockSpec& p) { t.setParagraphStyleName(p.paragraphStyleName()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextColorSwatchName(p.textColorSwatchName()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setObjectStyleName(p.objectStyleName()); },
             [](textBlockSpec& t, const textBlockSpec& p) {
                 t.setFrameIndependentDimension(p.frameIndependentDimension());
             },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setHorizontalGutter(p.horizontalGutter()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setVerticalGutter(p.verticalGutter()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setFitFrameToContent(p.fitFrameToContent()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setPosition(p.position()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextAngle(p.textAngle()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setVerticalJustification(p.verticalJustification()); },
             [](textBlockSpec& t, const textBlockSpec& p) {
                 t.setHorizontalJustification(p.horizontalJustification());
             },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTextWrap(p.textWrap()); },
         }},
        {TextBlockSpecPasteboard::Other,
         {
             [](textBlockSpec& t, const textBlockSpec& p) { t.setTheHotKey(p.theHotKey()); },
             [](textBlockSpec& t, const textBlockSpec& p) { t.setDisplay(p.display()); },
         }},
    };
    return table;
}

textBlockSpec::Pointer pastedSpec()
{
    const auto data = Pasteboard::current()->dataForType(TextBlockSpecPasteboard::textBlockSpecPasteboardType());
    return data ? unarchiveObject<textBlockSpec>(*data) : nullptr;
}

} // namespace

bool TextBlockSpecPasteboard::canPasteTextBlockSpecData()
{
    return Pasteboard::current()->hasType(textBlockSpecPasteboardType());
}

bool TextBlockSpecPasteboard::copyTextBlockSpec(const textBlockSpec& spec)
{
    const auto data = archivedData(spec);
    if (!data) {
        Log::format("textBlockSpec: the text block \"%s\" could not be copied", spec.name().c_str());
        return false;
    }
    Pasteboard::current()->setData(textBlockSpecPasteboardType(), *data);
    return true;
}

bool TextBlockSpecPasteboard::pasteProperties(unsigned mask, textBlockSpec& target)
{
    const auto pasted = pastedSpec();
    if (!pasted)
        return false;
    for (const auto& group : groups())
        if (mask & group.bit)
            for (const auto paste : group.properties)
                paste(target, *pasted);
    return true;
}

} // namespace qm
