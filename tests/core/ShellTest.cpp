#include <gtest/gtest.h>

#include <QApplication>

#include "core/Forms.h"
#include "core/UnitStartMenu.h"

namespace {

TEST(ShellTest, WindowsAreCreatedInOrder) {
    CreateForms();
    EXPECT_EQ(FormCreationOrder(),
              (QStringList{"FormStartMenu", "FormGame", "FormSelectFeud", "FormAboutAuthor", "FormSelectMap",
                           "FormSetUp", "FormAboutProgram", "FormInputNameGamer", "Form1", "FormFeudalSetup"}));
    ASSERT_NE(FormStartMenu, nullptr);
    EXPECT_EQ(FormStartMenu->windowTitle(), QStringLiteral("Marchfell: Ostrevane"));
    DestroyForms();
    EXPECT_EQ(FormStartMenu, nullptr);
}

}  // namespace
