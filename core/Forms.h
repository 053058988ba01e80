// The ten windows of the program, created once at start-up in a fixed order
// and reachable through their globals for the whole run.
#pragma once

#include <QStringList>

class TFormStartMenu;
class TFormGame;
class TFormSelectFeud;
class TFormAboutAuthor;
class TFormSelectMap;
class TFormSetUp;
class TFormAboutProgram;
class TFormInputNameGamer;
class TForm1;
class TFormFeudalSetup;
class TFormGuide;

extern TFormStartMenu* FormStartMenu;
extern TFormGame* FormGame;
extern TFormSelectFeud* FormSelectFeud;
extern TFormAboutAuthor* FormAboutAuthor;
extern TFormSelectMap* FormSelectMap;
extern TFormSetUp* FormSetUp;
extern TFormAboutProgram* FormAboutProgram;
extern TFormInputNameGamer* FormInputNameGamer;
extern TForm1* Form1;
extern TFormFeudalSetup* FormFeudalSetup;
// The guide window, made at its first opening (ShowGuide) rather than at
// start-up; nullptr until then.
extern TFormGuide* FormGuide;

// Creates the ten windows in order: start menu, game, feud choice, about
// author, map choice, settings, about program, name entry, Form1, feudal
// setup. Each window's creation handler runs as it is created. The message
// loop is not run; main() does that.
void CreateForms();
// Destroys them (in reverse order, the guide window first) and clears the globals.
void DestroyForms();

// objectNames of the windows in the order they were created by the last CreateForms().
const QStringList& FormCreationOrder();
