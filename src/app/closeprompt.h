#pragma once

// What was last saved or loaded (or shown at start-up), and the question on closing when the
// picture or the speed differs from it.

#include "dotpattern.h"
#include "speed.h"

#include <functional>

class QWidget;

namespace orvane {

class ClosePrompt {
public:
    void noteSaved(const DotPattern& picture, Speed speed);
    bool isModified(const DotPattern& picture, Speed speed) const;

    // Whether the window may close: at once without changes; otherwise as the user answers, and
    // on Save only once save() says the file is written.
    bool mayClose(QWidget* window, const DotPattern& picture, Speed speed,
                  const std::function<bool()>& save) const;

private:
    DotPattern savedPicture_;
    Speed savedSpeed_;
};

} // namespace orvane
