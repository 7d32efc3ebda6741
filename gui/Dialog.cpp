#include "gui/Dialog.h"

#include "gui/RootControl.h"
#include "gui/UserInterface.h"

namespace gui {

Dialog::Dialog(UserInterface* ui) : Control(ui) {
    if (RootControl* root = ui->getRootControl()) {
        parent = root;
        bounds = root->localRect();
    }
}

Dialog::~Dialog() {
    UserInterface* ui = userInterface();
    // While the user interface goes, it deletes every component itself.
    if (!ui || !ui->isDestroying()) deleteAllChildren();
}

}  // namespace gui
