#pragma once

#include <cstddef>
#include <string>

#include "app/ArrayController.h"
#include "textgen/textBlockSpec.h"

namespace qm {

// Copying a text block to the pasteboard and pasting groups of its properties into another one.
// The pasteboard holds the text block in its sequential archive form under the text block type.
class TextBlockSpecPasteboard {
public:
    // The groups of properties, as bits of a paste mask.
    enum PropertyGroup : unsigned { TextExtraction = 1, TextFrame = 2, Other = 4, AllProperties = 7 };

    static std::string textBlockSpecPasteboardType() { return textBlockSpec::textBlockSpecClipboardType; }
    static bool canPasteTextBlockSpecData();

    // Puts the text block on the pasteboard as its only content; false when it cannot be archived.
    static bool copyTextBlockSpec(const textBlockSpec& spec);
    // Sets the target's properties of the groups in the mask from the text block on the pasteboard,
    // group by group; its name, script and identifier stay. False when nothing is pasted.
    static bool pasteProperties(unsigned mask, textBlockSpec& target);

    // The same for the controller's selected text block; nothing without a selection.
    template <typename Spec>
    static bool copyTextBlockSpecFromArrayController(const ArrayController<Spec>& controller)
    {
        const auto* spec = selectedSpec(controller);
        return spec && copyTextBlockSpec(*spec);
    }
    template <typename Spec>
    static bool pasteProperties(unsigned mask, const ArrayController<Spec>& controller)
    {
        auto* spec = selectedSpec(controller);
        return spec && pasteProperties(mask, *spec);
    }
    template <typename Spec>
    static bool pasteTextExtractionPropertiesIntoSelectedSpec(const ArrayController<Spec>& controller)
    {
        return pasteProperties(TextExtraction, controller);
    }
    template <typename Spec>
    static bool pasteTextFramePropertiesIntoSelectedSpec(const ArrayController<Spec>& controller)
    {
        return pasteProperties(TextFrame, controller);
    }
    template <typename Spec>
    static bool pasteAllPropertiesIntoSelectedSpec(const ArrayController<Spec>& controller)
    {
        return pasteProperties(AllProperties, controller);
    }

private:
    template <typename Spec>
    static textBlockSpec* selectedSpec(const ArrayController<Spec>& controller)
    {
        const auto index = controller.selectionIndex;
        if (!index || *index >= controller.arrangedObjects.size())
            return nullptr;
        return controller.arrangedObjects[*index].get();
    }
};

} // namespace qm
