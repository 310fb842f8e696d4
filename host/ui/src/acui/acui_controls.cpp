// Combo box, numeric and angle edits, line weight combo box.
#include "hostui/acui/acui_controls.h"

#include "acwin.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <charconv>
#include <cmath>
#include <numbers>

namespace {

// A real number in decimal or exponent notation, blanks around allowed.
bool parseNumber(QString text, double& value) {
    const std::string s = text.trimmed().toStdString();
    std::string_view v = s;
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    if (v.empty())
        return false;
    double parsed = 0;
    auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), parsed);
    if (ec != std::errc() || ptr != v.data() + v.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

QString formatNumber(double value) {
    // Ten significant digits hide the noise of unit conversions ("90", not
    // "89.99999999999999") and keep what a user types.
    const QString text = QString::number(value, 'g', 10);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

// Shows the refusal and puts the caret back into the edit for correction.
void refuse(QLineEdit* edit, const char* message) {
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    edit->setFocus();
    edit->selectAll();
}

} // namespace

// ---------------------------------------------------------------- CAcUiComboBox

CAcUiComboBox::CAcUiComboBox(QWidget* parent) : QComboBox(parent) {
    setInsertPolicy(QComboBox::NoInsert);
}

int CAcUiComboBox::AddString(const std::string& text) {
    const QString item = QString::fromStdString(text);
    int index = count();
    if (m_sorted) {
        index = 0;
        while (index < count() && itemText(index).compare(item, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    // Inserting into an empty editable combo would make the item current
    // and overwrite what was typed; keep the edit text as it was.
    const QString typed = isEditable() ? currentText() : QString();
    const int before = currentIndex();
    insertItem(index, item);
    if (before < 0 && currentIndex() >= 0) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(typed);
    }
    return index;
}

int CAcUiComboBox::InsertString(int index, const std::string& text) {
    if (index < 0 || index > count())
        index = count();
    insertItem(index, QString::fromStdString(text));
    return index;
}

int CAcUiComboBox::DeleteString(int index) {
    if (index < 0 || index >= count())
        return -1;
    removeItem(index);
    return count();
}

void CAcUiComboBox::ResetContent() {
    clear();
}

void CAcUiComboBox::SetItemData(int index, std::intptr_t data) {
    if (index >= 0 && index < count())
        setItemData(index, QVariant::fromValue<qlonglong>(data));
}

std::intptr_t CAcUiComboBox::GetItemData(int index) const {
    if (index < 0 || index >= count())
        return 0;
    return static_cast<std::intptr_t>(itemData(index).toLongLong());
}

int CAcUiComboBox::GetCurSel() const {
    return currentIndex();
}

void CAcUiComboBox::SetCurSel(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

int CAcUiComboBox::GetCount() const {
    return count();
}

std::string CAcUiComboBox::GetLBText(int index) const {
    if (index < 0 || index >= count())
        return {};
    return itemText(index).toStdString();
}

int CAcUiComboBox::FindStringExact(int start, const std::string& text) const {
    const QString wanted = QString::fromStdString(text);
    for (int i = std::max(0, start + 1); i < count(); ++i)
        if (itemText(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::string CAcUiComboBox::GetWindowText() const {
    return currentText().toStdString();
}

void CAcUiComboBox::SetWindowText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (isEditable()) {
        setEditText(value);
        return;
    }
    setCurrentIndex(findText(value));
}

// ---------------------------------------------------------------- numeric and angle edits

CAcUiNumericEdit::CAcUiNumericEdit(QWidget* parent) : QLineEdit(parent) {}

bool CAcUiNumericEdit::GetValue(double& value) const {
    return parseNumber(text(), value);
}

void CAcUiNumericEdit::SetValue(double value) {
    setText(formatNumber(value));
}

bool CAcUiNumericEdit::Validate() {
    double value = 0;
    if (GetValue(value))
        return true;
    refuse(this, kRefusal);
    return false;
}

CAcUiAngleEdit::CAcUiAngleEdit(QWidget* parent) : QLineEdit(parent) {}

bool CAcUiAngleEdit::GetValue(double& radians) const {
    QString typed = text().trimmed();
    if (typed.endsWith(QChar(0x00B0)) || typed.endsWith('d', Qt::CaseInsensitive))
        typed.chop(1);
    double degrees = 0;
    if (!parseNumber(typed, degrees))
        return false;
    radians = degrees * std::numbers::pi / 180.0;
    return true;
}

void CAcUiAngleEdit::SetValue(double radians) {
    setText(formatNumber(radians * 180.0 / std::numbers::pi));
}

bool CAcUiAngleEdit::Validate() {
    double radians = 0;
    if (GetValue(radians))
        return true;
    refuse(this, kRefusal);
    return false;
}

// ---------------------------------------------------------------- line weights

namespace {

constexpr int kSampleWidth = 40;

// Pen width of a weight's sample in pixels at 96 dots an inch, at least one.
int samplePixels(int weight) {
    if (weight <= 0)
        return 1;
    return std::max(1, static_cast<int>(std::lround(weight / 100.0 / 25.4 * 96.0)));
}

// A line sample and the weight's text, for the list and the closed box.
void paintWeight(QPainter& painter, const QRect& rect, int weight, const QString& text,
                 const QPalette& palette, bool selected) {
    painter.save();
    const QColor ink = selected ? palette.highlightedText().color() : palette.text().color();
    const QRect sample(rect.left() + 3, rect.top(), kSampleWidth, rect.height());
    painter.fillRect(QRect(sample.left(), sample.center().y() - samplePixels(weight) / 2,
                           sample.width(), samplePixels(weight)),
                     ink);
    painter.setPen(ink);
    painter.drawText(rect.adjusted(kSampleWidth + 8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     text);
    painter.restore();
}

class LineWeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.highlight());
        paintWeight(*painter, option.rect, index.data(Qt::UserRole).toInt(),
                    index.data(Qt::DisplayRole).toString(), option.palette, selected);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(size.width() + kSampleWidth + 8);
        return size;
    }
};

} // namespace

CAcUiLineWeightComboBox::CAcUiLineWeightComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new LineWeightDelegate(this));
    for (int weight : lineWeights())
        addItem(lineWeightText(weight), weight);
    setCurrentIndex(0);
    setMinimumContentsLength(12);
}

const std::vector<int>& CAcUiLineWeightComboBox::lineWeights() {
    static const std::vector<int> weights{-1, -2, -3,  0,   5,   9,   13,  15,  18,
                                          20, 25, 30,  35,  40,  50,  53,  60,  70,
                                          80, 90, 100, 106, 120, 140, 158, 200, 211};
    return weights;
}

QString CAcUiLineWeightComboBox::lineWeightText(int weight) {
    switch (weight) {
    case -1:
        return QStringLiteral("ByLayer");
    case -2:
        return QStringLiteral("ByBlock");
    case -3:
        return QStringLiteral("Default");
    default:
        return QString::number(weight / 100.0, 'f', 2) + QStringLiteral(" mm");
    }
}

int CAcUiLineWeightComboBox::GetCurrentItemLineWeight() const {
    return currentIndex() < 0 ? -1 : currentData().toInt();
}

bool CAcUiLineWeightComboBox::SetCurrentItemLineWeight(int weight) {
    const int index = findData(weight);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

QSize CAcUiLineWeightComboBox::sizeHint() const {
    int widest = 0;
    const QFontMetrics metrics = fontMetrics();
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize field(kSampleWidth + 8 + widest + 2, metrics.height());
    QSize hint = QComboBox::sizeHint();
    hint.setWidth(style()->sizeFromContents(QStyle::CT_ComboBox, &option, field, this).width());
    return hint;
}

void CAcUiLineWeightComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear(); // drawn below, after the sample
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0)
        paintWeight(painter, field, GetCurrentItemLineWeight(), currentText(), palette(), false);
}
