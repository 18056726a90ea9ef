#pragma once

#include "textgen/quillmarkPublication.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"

namespace qm::test {

// A publication "Daily" whose byline "Photographer" is the By-line dataset in the paragraph style
// "Byline", and whose caption "Caption" is the Caption/Abstract dataset.
inline quillmarkPublication::Pointer dailyPublication()
{
    auto byline = textBlockSpec_Byline::create();
    byline->setName("Photographer");
    byline->setTextGenerationIPTCField(cIPTCCode(2, 80));
    byline->setParagraphStyleName("Byline");
    auto caption = textBlockSpec_Caption::create();
    caption->setName("Caption");
    caption->setTextGenerationIPTCField(cIPTCCode(2, 120));
    auto daily = quillmarkPublication::createEmpty();
    daily->setName("Daily");
    daily->setBylines({byline});
    daily->setCaptions({caption});
    return daily;
}

} // namespace qm::test
