#include "app/class_join.h"

#include "app/application.h"
#include "app/main_window.h"
#include "session/classroom/class_seat.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QStatusBar>

namespace mv {

namespace {

// The program's one seat, made on first use beside the exercise it drives (after the recorder,
// which must hear of an exercise's end before the seat sends the record).
ClassSeat& SeatOf(Application& app) {
    if (auto* seat = app.exercise().findChild<ClassSeat*>("classSeat")) return *seat;
    auto* seat = new ClassSeat(app.exercise(), app.recorder(), &app.exercise());
    seat->setObjectName("classSeat");
    MainWindow* main = &app.mainWindow();
    const auto status = [main](const QString& text) {
        main->statusBar()->showMessage(text, 30000);
    };
    QObject::connect(seat, &ClassSeat::notice, main, status);
    QObject::connect(seat, &ClassSeat::joined, main,
                     [main, status] { status("Joined the class: waiting for the instructor"); });
    Dialogs* dialogs = &app.dialogs();
    QObject::connect(seat, &ClassSeat::refused, main, [dialogs](const QString& why) {
        dialogs->message(why, "Join Class", Dialogs::Icon::Exclamation);
    });
    return *seat;
}

bool Join(Application& app, const QString& address, ClassSeat::Join join) {
    if (!ClassSeat::ParseAddress(address, join.Host, join.Port)) {
        app.dialogs().message("Not a class's address (host:port): " + address, "Join Class",
                              Dialogs::Icon::Exclamation);
        return false;
    }
    ClassSeat& seat = SeatOf(app);
    seat.Leave();
    if (!seat.JoinClass(join)) {
        app.dialogs().message(seat.error(), "Join Class", Dialogs::Icon::Exclamation);
        return false;
    }
    app.mainWindow().statusBar()->showMessage("Joining the class " + join.Class + " at " + address +
                                              "...");
    return true;
}

} // namespace

bool JoinClassFromArguments(Application& app, const QStringList& arguments) {
    const qsizetype at = arguments.indexOf("--join");
    if (at < 0) return false;
    const auto value = [&arguments](const QString& option) {
        const qsizetype i = arguments.indexOf(option);
        return i >= 0 && i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
    };
    ClassSeat::Join join;
    join.Class = value("--class");
    join.Student = value("--name");
    // A seat's account is its name in the class; without one, the student's name.
    join.User = value("--user");
    if (join.User.isEmpty()) join.User = join.Student;
    join.Password = value("--password");
    // A school's broker that speaks TLS is proved by its CA's certificate.
    join.CaFile = value("--cafile");
    return Join(app, value("--join"), join);
}

void mnuJoinClass_Click(Application& app) {
    auto* dialog = new QDialog(&app.mainWindow());
    dialog->setObjectName("frmJoinClass");
    dialog->setWindowTitle("Join Class");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* form = new QFormLayout(dialog);
    const auto field = [dialog, form](const char* name, const QString& label,
                                      const QString& text = {}) {
        auto* edit = new QLineEdit(text, dialog);
        edit->setObjectName(name);
        form->addRow(label, edit);
        return edit;
    };
    QLineEdit* address = field("txtAddress", "Class &address:", "127.0.0.1:1883");
    QLineEdit* code = field("txtClass", "Class &code:");
    QLineEdit* name = field("txtName", "Your &name:");
    QLineEdit* user = field("txtUser", "&Seat account:");
    QLineEdit* password = field("txtPassword", "&Password:");
    password->setEchoMode(QLineEdit::Password);
    // Empty for a broker without TLS, such as the instructor station's own.
    QLineEdit* caFile = field("txtCaFile", "CA &certificate (TLS):");
    caFile->setPlaceholderText("none: the class's broker does not use TLS");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    Application* a = &app;
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [=] {
        ClassSeat::Join join;
        join.Class = code->text().trimmed();
        join.Student = name->text().trimmed();
        join.User = user->text().trimmed().isEmpty() ? join.Student : user->text().trimmed();
        join.Password = password->text();
        join.CaFile = caFile->text().trimmed();
        // A mistake keeps the box open with what was typed.
        if (Join(*a, address->text(), join)) dialog->accept();
    });
    // Opened so that the caller returns: a test fills and presses it.
    dialog->open();
}

} // namespace mv
