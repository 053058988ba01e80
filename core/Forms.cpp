#include "core/Forms.h"

#include "core/UnitAboutAuthor.h"
#include "core/UnitAboutProgram.h"
#include "core/UnitStartMenu.h"
#include "newgame/UnitInputNameGamer.h"
#include "newgame/UnitSelectFeud.h"
#include "newgame/UnitSelectMap.h"
#include "settings/UnitSetUp.h"
#include "ui/UnitAttack.h"
#include "ui/UnitFeudalSetup.h"
#include "ui/UnitGame.h"
#include "ui/UnitGuide.h"

TFormStartMenu* FormStartMenu = nullptr;
TFormGame* FormGame = nullptr;
TFormSelectFeud* FormSelectFeud = nullptr;
TFormAboutAuthor* FormAboutAuthor = nullptr;
TFormSelectMap* FormSelectMap = nullptr;
TFormSetUp* FormSetUp = nullptr;
TFormAboutProgram* FormAboutProgram = nullptr;
TFormInputNameGamer* FormInputNameGamer = nullptr;
TForm1* Form1 = nullptr;
TFormFeudalSetup* FormFeudalSetup = nullptr;
TFormGuide* FormGuide = nullptr;

namespace {
QStringList creationOrder;

template <typename Form>
void Create(Form*& global, const char* name) {
    global = new Form();
    global->setObjectName(QString::fromLatin1(name));
    creationOrder << global->objectName();
}
}  // namespace

void CreateForms() {
    creationOrder.clear();
    // The start menu comes first: it opens the settings store that the
    // settings dialog reads when it is created.
    Create(FormStartMenu, "FormStartMenu");
    Create(FormGame, "FormGame");
    Create(FormSelectFeud, "FormSelectFeud");
    Create(FormAboutAuthor, "FormAboutAuthor");
    Create(FormSelectMap, "FormSelectMap");
    Create(FormSetUp, "FormSetUp");
    Create(FormAboutProgram, "FormAboutProgram");
    Create(FormInputNameGamer, "FormInputNameGamer");
    Create(Form1, "Form1");
    Create(FormFeudalSetup, "FormFeudalSetup");
}

void DestroyForms() {
    delete FormGuide;
    FormGuide = nullptr;
    delete FormFeudalSetup;
    FormFeudalSetup = nullptr;
    delete Form1;
    Form1 = nullptr;
    delete FormInputNameGamer;
    FormInputNameGamer = nullptr;
    delete FormAboutProgram;
    FormAboutProgram = nullptr;
    delete FormSetUp;
    FormSetUp = nullptr;
    delete FormSelectMap;
    FormSelectMap = nullptr;
    delete FormAboutAuthor;
    FormAboutAuthor = nullptr;
    delete FormSelectFeud;
    FormSelectFeud = nullptr;
    delete FormGame;
    FormGame = nullptr;
    delete FormStartMenu;
    FormStartMenu = nullptr;
}

const QStringList& FormCreationOrder() { return creationOrder; }
