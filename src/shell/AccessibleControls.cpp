#include "shell/AccessibleControls.h"

#include "platform/FlashControl.h"
#include "platform/WebPane.h"
#include "shell/ImageControl.h"
#include "shell/PoemLine.h"

#include <QAbstractButton>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QSlider>
#include <QTabBar>
#include <QWindow>

#include <algorithm>

namespace luming::accessible {

namespace {

constexpr char kKindProperty[] = "accessibleKind";
constexpr char kTimeLabelProperty[] = "accessibleTimeLabel";
constexpr char kAnnouncementProperty[] = "accessibleAnnouncement";
constexpr int kSeekStepSeconds = 5;

// A title button: pressed by a screen reader as by a click.
class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(ImageControl* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<ImageControl*>(widget())->Click();
        else
            QAccessibleWidget::doAction(action);
    }
};

// A slider the window draws itself, with a value interface.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(QWidget* control) : QAccessibleWidget(control, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant minimumValue() const override { return 0; }
};

TimeReading ReadingOf(const QWidget* positionBar) {
    const auto* label =
        qobject_cast<QLabel*>(positionBar->property(kTimeLabelProperty).value<QObject*>());
    return label ? ReadTimeText(label->text()) : TimeReading{};
}

// The position bar: its value is the time as the time label shows it.
class PositionBarAccessible : public SliderAccessible {
public:
    using SliderAccessible::SliderAccessible;

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value || which == QAccessible::Description)
            return Reading().spoken;
        return SliderAccessible::text(which);
    }
    QVariant currentValue() const override { return std::max(Reading().seconds, 0); }
    void setCurrentValue(const QVariant&) override {} // seeking is the arrow keys' and the mouse's
    QVariant maximumValue() const override { return std::max(Reading().total, 0); }
    QVariant minimumStepSize() const override { return kSeekStepSeconds; }

private:
    TimeReading Reading() const { return ReadingOf(widget()); }
};

// The volume bar: a vertical track bar whose top, position 0, is the loudest. Its value is the
// volume in percent, 0 (silent) up to 100.
class VolumeAccessible : public SliderAccessible {
public:
    explicit VolumeAccessible(QSlider* bar) : SliderAccessible(bar) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value)
            return QString::number(Percent()) + "%";
        return SliderAccessible::text(which);
    }
    QVariant currentValue() const override { return Percent(); }
    void setCurrentValue(const QVariant& value) override {
        const int percent = std::clamp(value.toInt(), 0, 100);
        Bar()->setValue(Bar()->maximum() - (percent * Bar()->maximum() + 50) / 100);
    }
    QVariant maximumValue() const override { return 100; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QSlider* Bar() const { return static_cast<QSlider*>(widget()); }
    int Percent() const {
        return VolumePercent(Bar()->maximum() - Bar()->value(), Bar()->maximum());
    }
};

// The state label: a status line named by what it says now. The label tells a screen reader
// when its text changes.
class StatusAccessible : public QAccessibleWidget {
public:
    explicit StatusAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(which);
    }
};

// An item of a menu of choices, one of which holds (the play modes): a menu item that says it
// can be checked and whether it is, so that a screen reader says which is chosen (Qt's own menu
// item does not pass that on). A menu item: the menu finds only items of that role among its
// children, and a reader drops an item its menu does not find.
class ChoiceAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit ChoiceAccessible(QAction* item) : item_(item) {}

    bool isValid() const override { return item_ && Menu(); }
    QObject* object() const override { return item_; }
    QWindow* window() const override { return Menu() ? Menu()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(Menu());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text which) const override {
        return which == QAccessible::Name && item_ ? item_->text() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        return Menu()->actionGeometry(item_).translated(Menu()->mapToGlobal(QPoint()));
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.invisible = !Menu()->isVisible();
        state.focusable = true;
        state.focused = Menu()->activeAction() == item_;
        state.checkable = true;
        state.checked = item_->isChecked();
        state.disabled = !item_->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && item_)
            item_->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QMenu* Menu() const { return item_ ? qobject_cast<QMenu*>(item_->parent()) : nullptr; }

    QPointer<QAction> item_;
};

// A checkable tool button (the sound switched off): a check box, as Qt describes checkable
// buttons (its at-spi bridge has no checkable state to give a push button), checked while its
// state holds, pressed by a screen reader as by a click.
class SwitchAccessible : public QAccessibleWidget {
public:
    explicit SwitchAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::CheckBox) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            Button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

// A label whose text moves on by itself, the time: its name is its text when asked. Qt's own
// label tells every new text as a new name; with a name of its own set (which this description
// does not show) it keeps quiet.
class ClockAccessible : public QAccessibleWidget {
public:
    explicit ClockAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return {};
    }
};

// A poem's line, its characters and their pinyin, as the reader reads it: its name when asked.
// A poem's lines change together (the pinyin comes after the characters): told one by one they
// would be a flood; the lit line is announced.
class PoemTextAccessible : public QAccessibleWidget {
public:
    explicit PoemTextAccessible(PoemLine* line)
        : QAccessibleWidget(line, QAccessible::StaticText) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Name)
            return static_cast<PoemLine*>(widget())->Spoken();
        return {};
    }
};

// What the window has a screen reader say when the control with the focus would not tell it: a
// notification named by its last announcement, which a reader speaks when it shows.
class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(QWidget* announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Name)
            return widget()->property(kAnnouncementProperty).toString();
        return {};
    }
    // Shown while the window is, though it takes no room on the screen.
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.offscreen = false;
        return state;
    }
};

// A label that only some editions show: its text, a placeholder in the others, is its name
// only while it is shown.
class HintAccessible : public QAccessibleWidget {
public:
    explicit HintAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Name && widget()->isVisible())
            return static_cast<QLabel*>(widget())->text();
        return {};
    }
};

// The mouse's surface laid over a control (the picture over the sound button): a reader meets
// the control itself, and this not at all.
class OverlayAccessible : public QAccessibleWidget {
public:
    explicit OverlayAccessible(QWidget* overlay) : QAccessibleWidget(overlay) {}

    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }
};

// The application: its windows that are shown. The web engine's views each keep a hidden
// top-level window ("Offscreen") to draw in, which a reader has no business with.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override { return static_cast<int>(Windows().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> windows = Windows();
        return index >= 0 && index < windows.size() ? windows[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(Windows().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

private:
    // As Qt lists them, with the menus that are open: a reader speaks the items of a menu only
    // when it finds the menu among the application's windows. Tool tips are left out.
    static QList<QAccessibleInterface*> Windows() {
        QList<QAccessibleInterface*> windows;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (!window->isVisible() || window->type() == Qt::ToolTip ||
                window->type() == Qt::Desktop)
                continue;
            if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
                windows << root;
        }
        return windows;
    }
};

// A control with nothing to show a screen reader inside it: hidden page tabs, whose current
// tab would otherwise claim the focus.
class LeafAccessible : public QAccessibleWidget {
public:
    LeafAccessible(QWidget* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
};

// A web pane or the player: the page inside is shown to a screen reader only while it has the
// keyboard focus. A web engine's document says it has the focus whether or not its view does,
// and the panes are left out of the Tab order; they are entered by a click.
class WebHostAccessible : public QAccessibleWidget {
public:
    explicit WebHostAccessible(QWidget* host) : QAccessibleWidget(host) {}

    int childCount() const override { return Entered() ? QAccessibleWidget::childCount() : 0; }
    QAccessibleInterface* child(int index) const override {
        return Entered() ? QAccessibleWidget::child(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return Entered() ? QAccessibleWidget::indexOfChild(child) : -1;
    }
    QAccessibleInterface* focusChild() const override {
        return Entered() ? QAccessibleWidget::focusChild() : nullptr;
    }

private:
    bool Entered() const {
        const QWidget* focus = QApplication::focusWidget();
        return focus && widget()->isVisible() && widget()->isAncestorOf(focus);
    }
};

bool IsWebHost(const QWidget* control) {
    return qobject_cast<const WebPane*>(control) || qobject_cast<const FlashControl*>(control);
}

bool IsHiddenTabBar(const QWidget* control) {
    return qobject_cast<const QTabBar*>(control) && control->isHidden();
}

QAccessibleInterface* Describe(const QString&, QObject* object) {
    if (object == qApp)
        return new ApplicationAccessible;
    if (auto* item = qobject_cast<QAction*>(object))
        return object->property(kKindProperty).toInt() == static_cast<int>(Kind::Choice)
                   ? new ChoiceAccessible(item)
                   : nullptr;
    auto* control = qobject_cast<QWidget*>(object);
    if (!control)
        return nullptr;
    if (IsWebHost(control))
        return new WebHostAccessible(control);
    if (IsHiddenTabBar(control))
        return new LeafAccessible(control, QAccessible::PageTabList);
    const QVariant kind = control->property(kKindProperty);
    if (!kind.isValid())
        return nullptr;
    switch (static_cast<Kind>(kind.toInt())) {
    case Kind::Button:
        if (auto* button = qobject_cast<ImageControl*>(control))
            return new ButtonAccessible(button);
        break;
    case Kind::PositionBar:
        return new PositionBarAccessible(control);
    case Kind::Volume:
        if (auto* bar = qobject_cast<QSlider*>(control))
            return new VolumeAccessible(bar);
        break;
    case Kind::Status:
        if (auto* label = qobject_cast<QLabel*>(control))
            return new StatusAccessible(label);
        break;
    case Kind::Window:
        return new QAccessibleWidget(control, QAccessible::Window);
    case Kind::Switch:
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            return new SwitchAccessible(button);
        break;
    case Kind::Hint:
        if (auto* label = qobject_cast<QLabel*>(control))
            return new HintAccessible(label);
        break;
    case Kind::Overlay:
        return new OverlayAccessible(control);
    case Kind::Clock:
        if (auto* label = qobject_cast<QLabel*>(control))
            return new ClockAccessible(label);
        break;
    case Kind::Announcer:
        return new AnnouncerAccessible(control);
    case Kind::PoemText:
        if (auto* line = qobject_cast<PoemLine*>(control))
            return new PoemTextAccessible(line);
        break;
    case Kind::Choice:
        break;
    }
    return nullptr;
}

// "mm:ss" or "hh:mm:ss" in seconds; -1 when it is neither.
int Seconds(const QString& time) {
    int seconds = 0;
    const QStringList parts = time.trimmed().split(':');
    if (parts.size() < 2 || parts.size() > 3)
        return -1;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0)
            return -1;
        seconds = seconds * 60 + value;
    }
    return seconds;
}

// Drops Qt's description of `control`; the next use makes it anew, through Describe.
void DescribeAgain(QObject* control) {
    if (QAccessibleInterface* described = QAccessible::queryAccessibleInterface(control))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
}

} // namespace

void SetKind(QObject* control, Kind kind) {
    control->setProperty(kKindProperty, static_cast<int>(kind));
    if (auto* widget = qobject_cast<QWidget*>(control);
        widget && kind == Kind::Clock && widget->accessibleName().isEmpty())
        widget->setAccessibleName(widget->objectName()); // only keeps the label quiet
    DescribeAgain(control);
}

int VolumePercent(int level, int maximum) {
    if (maximum <= 0)
        return 0;
    return (std::clamp(level, 0, maximum) * 100 + maximum / 2) / maximum;
}

QString SpokenTime(QWidget* positionBar) {
    return ReadingOf(positionBar).spoken;
}

void SetTimeLabel(QWidget* positionBar, QLabel* label) {
    positionBar->setProperty(kTimeLabelProperty, QVariant::fromValue<QObject*>(label));
}

void Install(QWidget* window) {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(&Describe);
        DescribeAgain(qApp);
    }
    installed = true;
    for (QWidget* control : window->findChildren<QWidget*>())
        if (IsWebHost(control) || IsHiddenTabBar(control))
            DescribeAgain(control);
}

void Announce(QWidget* announcer, const QString& text) {
    announcer->setProperty(kAnnouncementProperty, text);
    if (text.isEmpty())
        return;
    QAccessibleEvent event(announcer, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

namespace {

QAccessibleInterface* FocusedRow(QWidget* tree) {
    if (!QAccessible::isActive() || !tree->hasFocus())
        return nullptr;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(tree);
    return view ? view->focusChild() : nullptr;
}

} // namespace

void FocusedRowTold(QWidget* tree) {
    if (QAccessibleInterface* row = FocusedRow(tree)) {
        QAccessibleEvent event(row, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

TimeReading ReadTimeText(const QString& text) {
    const QStringList times = text.split('/');
    if (times.size() != 2)
        return {text, -1, -1};
    return {times[0].trimmed() + " / " + times[1].trimmed(), Seconds(times[0]), Seconds(times[1])};
}

} // namespace luming::accessible
