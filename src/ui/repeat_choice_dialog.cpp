#include "repeat_choice_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>

namespace quill {

namespace {
constexpr std::array<const char*, 7> kShortDays = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 4> kUnits = {"days", "weeks", "months", "years"};
constexpr std::array<const char*, 4> kUnit = {"day", "week", "month", "year"};
} // namespace

QString DescribeRepeat(const RepeatChoice& choice) {
    const auto unit = static_cast<size_t>(choice.unit);
    QString text =
        choice.interval == 1
            ? QStringLiteral("Every %1").arg(QLatin1String(kUnit[unit]))
            : QStringLiteral("Every %1 %2").arg(choice.interval).arg(QLatin1String(kUnits[unit]));
    if (choice.unit == RepeatUnit::Weeks && choice.weekdays != 0) {
        QStringList days;
        for (size_t i = 0; i < kShortDays.size(); ++i) {
            if ((choice.weekdays & (1U << i)) != 0)
                days << QLatin1String(kShortDays[i]);
        }
        text += QStringLiteral(": ") + days.join(QStringLiteral(", "));
    }
    return text;
}

std::optional<RepeatChoice> AskCustomRepeat(QWidget* owner, const RepeatChoice& initial) {
    // A child of the editor, so it wears the editor's skin.
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("CustomRepeatDialog"));
    dialog.setWindowTitle(QStringLiteral("Repeat"));
    auto* every = new QSpinBox(&dialog);
    every->setObjectName(QStringLiteral("RepeatEvery"));
    every->setRange(1, 999);
    every->setValue(initial.interval);
    every->setAccessibleName(QStringLiteral("Every"));
    auto* unit = new QComboBox(&dialog);
    unit->setObjectName(QStringLiteral("RepeatUnit"));
    for (const char* name : kUnits)
        unit->addItem(QLatin1String(name));
    unit->setCurrentIndex(static_cast<int>(initial.unit));
    unit->setAccessibleDescription(QStringLiteral("Unit"));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Every"), &dialog));
    row->addWidget(every);
    row->addWidget(unit);
    row->addStretch();
    auto* dayRow = new QHBoxLayout;
    std::array<QCheckBox*, 7> days{};
    for (size_t i = 0; i < days.size(); ++i) {
        days[i] = new QCheckBox(QLatin1String(kShortDays[i]), &dialog);
        days[i]->setChecked((initial.weekdays & (1U << i)) != 0);
        dayRow->addWidget(days[i]);
    }
    const auto weeksOnly = [&] {
        for (QCheckBox* day : days)
            day->setEnabled(unit->currentIndex() == static_cast<int>(RepeatUnit::Weeks));
    };
    weeksOnly();
    QObject::connect(unit, &QComboBox::currentIndexChanged, &dialog, weeksOnly);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addLayout(dayRow);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    RepeatChoice choice;
    choice.unit = static_cast<RepeatUnit>(unit->currentIndex());
    choice.interval = every->value();
    if (choice.unit == RepeatUnit::Weeks) {
        for (size_t i = 0; i < days.size(); ++i) {
            if (days[i]->isChecked())
                choice.weekdays = static_cast<uint8_t>(choice.weekdays | (1U << i));
        }
    }
    return choice;
}

} // namespace quill
