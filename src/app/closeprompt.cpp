#include "closeprompt.h"

#include "prompts.h"

namespace orvane {

void ClosePrompt::noteSaved(const DotPattern& picture, Speed speed) {
    savedPicture_ = picture;
    savedSpeed_ = speed;
}

bool ClosePrompt::isModified(const DotPattern& picture, Speed speed) const {
    return speed != savedSpeed_ || picture != savedPicture_;
}

bool ClosePrompt::mayClose(QWidget* window, const DotPattern& picture, Speed speed,
                           const std::function<bool()>& save) const {
    if (!isModified(picture, speed))
        return true;
    switch (askAboutUnsavedChanges(window)) {
    case UnsavedChoice::Save:
        return save();
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Cancel:
        break;
    }
    return false;
}

} // namespace orvane
