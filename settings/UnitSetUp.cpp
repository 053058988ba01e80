#include "settings/UnitSetUp.h"

#include <algorithm>

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/UnitStartMenu.h"
#include "settings/Reestr.h"

namespace {

// The store the start menu opened. Without a start menu there is none, and
// every read and write fails as on a closed store.
TReestr& Store() {
    static TReestr closed;
    return FormStartMenu ? FormStartMenu->Reestr : closed;
}

// The names of the six rows' values after "Current" or "Default", top to bottom.
const char* const RowNames[6] = {"Lennik", "Grain", "Peasant", "Cow", "Horse", "Independence"};

}  // namespace

TFormSetUp::TFormSetUp(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Настройка игры "));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetFixedClientSize(this, 265, 185);

    // The group on the left, the buttons in a column on its right.
    const int groupLeft = 8, groupTop = 4, groupWidth = 156, groupHeight = 177;
    gbStart = new QGroupBox(QStringLiteral(" Стартовые условия "), this);
    gbStart->setObjectName(QStringLiteral("gbStart"));
    gbStart->setGeometry(groupLeft, groupTop, groupWidth, groupHeight);

    const QString captions[6] = {QStringLiteral("Ленников:"), QStringLiteral("Зерно:"),
                                 QStringLiteral("Крестьяне:"), QStringLiteral("Коровы:"),
                                 QStringLiteral("Лошади:"),    QStringLiteral("Независимость:")};
    // The label column is as wide as the widest caption, so none is clipped
    // whatever face the system gives us; the inputs take the rest.
    const QFontMetrics metrics(gbStart->font());
    int labelWidth = 0;
    for (const QString& c : captions) labelWidth = std::max(labelWidth, metrics.horizontalAdvance(c) + 2);
    const int labelLeft = 8;
    const int inputLeft = labelLeft + labelWidth + 6;
    const int inputWidth = std::max(40, groupWidth - inputLeft - 8);

    QLabel** labels[6] = {&LabelLennik, &LabelGrain, &LabelPeasant, &LabelCow, &LabelHorse, &LabelIndependence};
    QLineEdit** edits[5] = {&EditLennik, &EditGrain, &EditPeasant, &EditCow, &EditHorse};
    for (int row = 0; row < 6; ++row) {
        const int top = 20 + row * 25;
        QWidget* input = nullptr;
        if (row < 5) {
            auto* edit = new QLineEdit(gbStart);
            edit->setObjectName(QStringLiteral("Edit") + QLatin1String(RowNames[row]));
            *edits[row] = edit;
            input = edit;
        } else {
            seIndependence = new QSpinBox(gbStart);
            seIndependence->setObjectName(QStringLiteral("seIndependence"));
            seIndependence->setRange(0, 100);
            if (auto* line = seIndependence->findChild<QLineEdit*>()) line->setMaxLength(3);
            input = seIndependence;
        }
        input->setGeometry(inputLeft, top, inputWidth, 21);

        auto* label = new QLabel(captions[row], gbStart);
        label->setObjectName(QStringLiteral("Label") + QLatin1String(RowNames[row]));
        label->setGeometry(labelLeft, top, labelWidth, 21);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setBuddy(input);
        *labels[row] = label;
    }

    auto makeButton = [this](const char* name, const QString& caption, int top) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(172, top, 85, 25);
        return b;
    };
    btnDefault = makeButton("btnDefault", QStringLiteral("По умолчанию"), 12);
    btnApply = makeButton("btnApply", QStringLiteral("Применить"), 44);
    btnOk = makeButton("btnOk", QStringLiteral("ОК"), 76);
    btnCancel = makeButton("btnCancel", QStringLiteral("Отмена"), 108);
    btnOk->setDefault(true);

    connect(btnDefault, &QPushButton::clicked, this, &TFormSetUp::btnDefaultClick);
    connect(btnApply, &QPushButton::clicked, this, &TFormSetUp::btnApplyClick);
    connect(btnOk, &QPushButton::clicked, this, &TFormSetUp::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFormSetUp::btnCancelClick);

    // Tab goes through the fields in their own order, not the rows' order.
    QWidget* order[] = {EditGrain, EditCow, EditHorse, EditPeasant, EditLennik, seIndependence,
                        btnDefault, btnApply, btnOk, btnCancel};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    EditGrain->setFocus();

    CenterOnScreen(this);
    FormCreate();
}

void TFormSetUp::FormCreate() {
    // Created once at start-up: the dialog shows the stored values from its first opening.
    LoadFromReestr();
}

bool TFormSetUp::LoadRows(const QString& prefix) {
    BoxMessages msgs(this);
    TReestr& store = Store();
    QLineEdit* edits[5] = {EditLennik, EditGrain, EditPeasant, EditCow, EditHorse};
    for (int row = 0; row < 6; ++row) {
        int32_t value = 0;
        if (!store.ReadInteger(prefix + QLatin1String(RowNames[row]), value, msgs)) return false;
        if (row < 5)
            edits[row]->setText(QString::number(value));
        else
            seIndependence->setValue(value);  // the spin box keeps to 0..100
    }
    return true;
}

bool TFormSetUp::LoadFromReestr() { return LoadRows(QStringLiteral("Current")); }

bool TFormSetUp::SaveToReestr() {
    BoxMessages msgs(this);
    TReestr& store = Store();
    QLineEdit* edits[5] = {EditLennik, EditGrain, EditPeasant, EditCow, EditHorse};
    for (int row = 0; row < 6; ++row) {
        int32_t value = 0;
        if (row < 5) {
            const QString text = edits[row]->text();
            if (!TextToInteger(text, value)) {
                ShowErrorBox(this, QStringLiteral("\"%1\" не является целым числом.").arg(text));
                edits[row]->setFocus();
                edits[row]->selectAll();
                return false;
            }
        } else {
            // Whatever is half-typed in the spin box is taken, within its bounds.
            seIndependence->interpretText();
            value = seIndependence->value();
        }
        if (!store.WriteInteger(QStringLiteral("Current") + QLatin1String(RowNames[row]), value, msgs)) return false;
    }
    return true;
}

void TFormSetUp::btnDefaultClick() { LoadRows(QStringLiteral("Default")); }

void TFormSetUp::btnApplyClick() { SaveToReestr(); }

void TFormSetUp::btnOkClick() {
    if (SaveToReestr()) accept();
}

void TFormSetUp::btnCancelClick() {
    // The rows show the stored values again. Should the store fail to give
    // them, the error has been shown and the dialog stays open, for the rows
    // below the failed one still hold the unsaved edits; the close box
    // remains the way out.
    if (LoadFromReestr()) reject();
}

void TFormSetUp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnCancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
