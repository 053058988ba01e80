#include "support/MapDialogDriver.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include "core/FormSupport.h"
#include "newgame/UnitSelectMap.h"
#include "support/ModalDriver.h"

QStringList ChooseMapFile(TFormSelectMap& form, const QString& path, QString* initial, QString* filter) {
    GetOpenPictureFileName = [=](QWidget*, const QString& shownInitial, const QString& shownFilter) {
        if (initial) *initial = shownInitial;
        if (filter) *filter = shownFilter;
        return path;
    };
    ModalDriver driver;
    driver.AnswerAllBoxes();
    form.ButtonSelectMap->click();
    for (QMessageBox::Icon icon : driver.BoxIcons()) EXPECT_EQ(icon, QMessageBox::Critical);
    return driver.BoxTexts();
}
