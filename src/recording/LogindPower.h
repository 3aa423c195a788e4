#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QString>

// How the login manager answered one request.
enum class PowerReply {
    Accepted,    // done, or for a Can* question: answered (see answer)
    Refused,     // not allowed for this user (polkit or logind said no)
    Unreachable, // no system bus, no login manager, or no reply in time
    Failed,      // any other error
};

struct PowerCall {
    PowerReply reply = PowerReply::Failed;
    QString answer; // of a Can* question: "yes", "no", "challenge", "na"
    QString error;  // the D-Bus error name and text when not accepted
};

// systemd-logind's Manager over the system bus: the power capabilities, hibernation,
// power-off and the sleep inhibitor. Every call has a short timeout, so a missing or
// hung login manager never holds up the user-interface thread for long.
class LogindPower {
public:
    explicit LogindPower(const QDBusConnection& bus = QDBusConnection::systemBus());

    PowerCall CanHibernate();
    PowerCall CanPowerOff();
    // Non-interactive: a refusal is reported, never turned into a password prompt.
    PowerCall Hibernate();
    PowerCall PowerOff();
    // Whether another user has a login session (greeters do not count): logind then
    // asks a stricter permission to power off.
    bool OtherUsersLoggedOn();

    // The "sleep" inhibitor, a file descriptor that blocks sleep until it is closed.
    PowerCall TakeSleepInhibitor();
    void ReleaseSleepInhibitor();
    bool HoldsSleepInhibitor() const { return m_inhibitor.isValid(); }

    // Whether a Can* answer lets the program go on ("challenge": a rule may allow it).
    static bool Allows(const PowerCall& call);

private:
    PowerCall Call(const QString& method, const QVariantList& args, QVariant* value = nullptr);

    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_inhibitor;
};
