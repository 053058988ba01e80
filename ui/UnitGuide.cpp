#include "ui/UnitGuide.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/FormSupport.h"
#include "core/Forms.h"

// The guide's resource lives in a library of its own; naming it here links it in.
static void InitGuideResource() {
    static bool done = false;
    if (!done) Q_INIT_RESOURCE(guide);
    done = true;
}

const char* const TFormGuide::Source = "qrc:/guide/guide.html";

TFormGuide::TFormGuide(QWidget* parent) : QWidget(parent, Qt::Window) {
    InitGuideResource();
    setObjectName(QStringLiteral("FormGuide"));
    setWindowTitle(QStringLiteral("Руководство"));

    BrowserGuide = new QTextBrowser(this);
    BrowserGuide->setObjectName(QStringLiteral("BrowserGuide"));
    BrowserGuide->setOpenExternalLinks(true);
    // A reading face somewhat larger than the windows' labels.
    QFont font = BrowserGuide->font();
    font.setPixelSize(14);
    BrowserGuide->setFont(font);
    BrowserGuide->setSource(QUrl(QString::fromLatin1(Source)));

    btnBack = new QPushButton(QStringLiteral("Назад"), this);
    btnBack->setObjectName(QStringLiteral("btnBack"));
    btnBack->setEnabled(false);
    btnContents = new QPushButton(QStringLiteral("Содержание"), this);
    btnContents->setObjectName(QStringLiteral("btnContents"));
    connect(btnBack, &QPushButton::clicked, BrowserGuide, &QTextBrowser::backward);
    connect(btnContents, &QPushButton::clicked, BrowserGuide, &QTextBrowser::home);
    connect(BrowserGuide, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnBack);
    buttons->addWidget(btnContents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(BrowserGuide);

    // Wide enough for the widest picture (the game window, 625 pixels), as
    // far as the screen allows.
    QSize size(760, 680);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);
    CenterOnScreen(this);
}

void TFormGuide::keyPressEvent(QKeyEvent* event) {
    // Escape puts the guide away, as it closes the game's other small windows.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ShowGuide() {
    if (!FormGuide) FormGuide = new TFormGuide();
    if (FormGuide->isMinimized()) FormGuide->showNormal();
    FormGuide->show();
    FormGuide->raise();
    FormGuide->activateWindow();
}
