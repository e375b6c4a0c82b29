#pragma once
// The window kinds the tree and the menus can open, by class name ("frmInputCard"). Each
// window arrives by registering its kind here; the tree's routing and the menus never
// change for it. A kind nobody registered yet opens a box saying so.

#include <QString>

#include <functional>
#include <map>
#include <string>

class QWidget;

namespace tessivar::ui {

class WindowRegistry {
public:
    // Creates the window's widget; it reads the console's shared state (for a card window:
    // selectedCardNumber) while it is built.
    using Factory = std::function<QWidget*()>;

    void add(const std::string& kind, Factory factory) { factories_[kind] = std::move(factory); }
    bool has(const std::string& kind) const { return factories_.count(kind) > 0; }
    // nullptr when the kind is not registered.
    QWidget* create(const std::string& kind) const {
        auto it = factories_.find(kind);
        return it == factories_.end() ? nullptr : it->second();
    }

private:
    std::map<std::string, Factory> factories_;
};

// The box shown for a window that is not part of this build yet.
inline QString notAvailableText(const QString& name) {
    return QStringLiteral("The window \"%1\" is not available yet.").arg(name);
}

} // namespace tessivar::ui
