#pragma once
// The end of a command whose change needs a fresh start of the program.

class IDialogHost;

enum class ERestartReason { Einstellungen, Passwort, Update };

// Tells the operator in the view's language that the program closes and must be started
// again, then asks for the restart; a language without a message restarts it all the same.
// The message closes by itself; a restart the host would refuse is named in a second line.
void CloseForRestart(IDialogHost& host, ERestartReason reason);
