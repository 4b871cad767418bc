#pragma once
// The student's program as a seat of a class: joined from the command line
// (`marovane --join HOST:PORT --class CODE --name NAME [--user U --password P] [--cafile F]`,
// the last for a broker that speaks TLS) or from
// File > Join Class. The seat opens the exercises the instructor starts and follows the class's
// clock; what it says (the link dropped, the record sent) goes to the status line, a refusal to
// a message box.

#include <QString>
#include <QStringList>

namespace mv {

class Application;

// The join asked for by the program's arguments, begun; false when none is asked for. A join
// that cannot begin (a bad address or code) is reported and the program goes on alone.
bool JoinClassFromArguments(Application& app, const QStringList& arguments);
// File > Join Class: asks for the class's address, code, the student's name and the seat's
// account, then joins.
void mnuJoinClass_Click(Application& app);

} // namespace mv
