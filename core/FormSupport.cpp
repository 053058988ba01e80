#include "core/FormSupport.h"

#include <cmath>

#include "core/DataPath.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QTranslator>
#include <QWidget>

void InitApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Marchfell"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setOrganizationName(QStringLiteral("Tarvold"));
    // A small sans-serif face close to the classic 8-point dialog font; labels
    // are laid out for a 13-pixel line.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    app.setFont(font);
    const QIcon icon(DataFilePath(QStringLiteral("pictures/marchfell.png")));
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
    UseToolkitTranslation(true);
}

bool UseToolkitTranslation(bool on) {
    static QTranslator* toolkitWords = nullptr;
    static bool loaded = false;
    if (!toolkitWords) {
        toolkitWords = new QTranslator(QCoreApplication::instance());
        loaded = toolkitWords->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    if (!loaded) return false;
    if (on) return QCoreApplication::installTranslator(toolkitWords);
    QCoreApplication::removeTranslator(toolkitWords);
    return false;
}

void SetFixedClientSize(QWidget* w, int width, int height) {
    w->setFixedSize(width, height);
    w->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
}

void CenterOnScreen(QWidget* w) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

void CenterOnWidget(QWidget* w, const QWidget* owner) {
    if (!owner) return CenterOnScreen(w);
    const QRect g = owner->frameGeometry();
    w->move(g.center() - QPoint(w->width() / 2, w->height() / 2));
}

void TPageControl::paintEvent(QPaintEvent* event) {
    if (documentMode()) return QTabWidget::paintEvent(event);  // no pane frame to draw
    QStyleOptionTabWidgetFrame opt;
    initStyleOption(&opt);
    opt.rect = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &opt, this);
    const qreal ratio = devicePixelRatio();
    // At a ratio of pixels to points that is not whole, the pane's edges fall
    // between pixels in a way a picture taken once cannot follow: there the
    // style draws the frame every time.
    const bool kept = ratio == std::floor(ratio);
    // The picture reaches a point past the pane on every side: on a screen
    // of more pixels than points the style's lines, centred on the pane's
    // edge, spill half a point over it, and those pixels show too.
    const QRect area = opt.rect.adjusted(-1, -1, 1, 1);
    if (kept) {
        const FrameLook look{opt.rect.size(),
                             opt.tabBarSize,
                             opt.leftCornerWidgetSize,
                             opt.rightCornerWidgetSize,
                             opt.selectedTabRect.translated(-opt.rect.topLeft()),
                             opt.state,
                             opt.palette.cacheKey(),
                             style(),
                             ratio,
                             int(opt.shape)};
        if (frame_.isNull() || !(look == look_)) {
            frame_ = QPixmap(area.size() * ratio);
            frame_.setDevicePixelRatio(ratio);
            frame_.fill(Qt::transparent);
            QPainter p(&frame_);
            p.translate(-area.topLeft());
            style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
            look_ = look;
        }
    }
    // Drawn a rectangle of the paint region at a time: where controls that
    // paint all their own pixels cut holes into the region, one draw through
    // the whole of it would go back to one-row spans and worker threads.
    QPainter painter(this);
    for (const QRect& r : event->region()) {
        painter.setClipRect(r);
        if (kept)
            painter.drawPixmap(area.topLeft(), frame_);
        else
            style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &painter, this);
    }
}

namespace {
// A box belongs to its window while that window is on the screen; otherwise
// (the game window between turns before it first shows) it stands in the
// middle of the screen instead of where the hidden window would be.
QWidget* BoxOwner(QWidget* parent) { return parent && parent->isVisible() ? parent : nullptr; }

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QStringLiteral("Marchfell"), text, QMessageBox::Ok, BoxOwner(parent));
    SetRussianButtons(box);
    box.exec();
}
}  // namespace

void SetRussianButtons(QMessageBox& box) {
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } words[] = {{QMessageBox::Ok, "ОК"}, {QMessageBox::Yes, "Да"}, {QMessageBox::No, "Нет"},
                 {QMessageBox::Cancel, "Отмена"}};
    for (const auto& w : words)
        if (QAbstractButton* b = box.button(w.button)) b->setText(QString::fromUtf8(w.text));
}

void ShowInfoBox(QWidget* parent, const QString& text) { ShowBox(parent, QMessageBox::Information, text); }
void ShowErrorBox(QWidget* parent, const QString& text) { ShowBox(parent, QMessageBox::Critical, text); }

bool AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Marchfell"), text, QMessageBox::Yes | QMessageBox::No,
                    BoxOwner(parent));
    box.setDefaultButton(QMessageBox::No);
    SetRussianButtons(box);
    return box.exec() == QMessageBox::Yes;
}

OpenFileFunction GetOpenPictureFileName = [](QWidget* parent, const QString& initialPath, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Открыть"), initialPath, filter);
};

SaveFileFunction GetSaveFileName = [](QWidget* parent, const QString& initialFolder, const QString& filter) {
    // The dialog's own history (last folder, column widths) is the toolkit's
    // state, kept where the toolkit keeps it; a cancelled dialog makes no game
    // file or folder.
    QString chosen;
    {
        QFileDialog dialog(parent, QStringLiteral("Сохранить как"), initialFolder, filter);
        dialog.setObjectName(QStringLiteral("SaveGameDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        // A filter "Name (*.ext)" is listed as just "Name"; no default suffix, so
        // the name is used exactly as typed.
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    return chosen;
};
