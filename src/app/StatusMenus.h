#pragma once

#include <memory>

#include "app/MenuItem.h"
#include "hotkeys/hotKey.h"
#include "textgen/PublicationStore.h"

namespace qm {

// The four menus of the status item, built afresh each time one opens from the publications,
// the current publication and the hot keys.
class StatusMenus {
public:
    struct HotKeys {
        std::shared_ptr<hotKey> togglePanel, makeByline, makeCaption, makeBylineAndCaption, makePage;
    };

    // `current`: the current publication (none possible); `selected`: the publication
    // controller's first selected publication.
    StatusMenus(const PublicationStore::Publications& publications, quillmarkPublication::Pointer current,
                quillmarkPublication::Pointer selected, HotKeys hotKeys);

    Menu mainMenu() const;
    Menu publicationMenu() const;
    Menu bylineMenu() const;
    Menu captionMenu() const;

private:
    Menu textBlockMenu(const std::vector<textBlockSpec::Pointer>& textBlocks, const textBlockSpec::Pointer& defaultSpec,
                       const std::shared_ptr<hotKey>& defaultHotKey, const char* unnamedTitle,
                       const char* emptyTitle) const;

    const PublicationStore::Publications& mPublications;
    quillmarkPublication::Pointer mCurrent;
    quillmarkPublication::Pointer mSelected;
    HotKeys mHotKeys;
};

} // namespace qm
