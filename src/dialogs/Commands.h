#pragma once
// The three operator commands of the "&Einstellungen" menu. Each loads its values, shows its
// dialog through the host and, after OK, stores them and does what the change requires.

class IDialogHost;

// "Einstellungen" (32779): filters, display options, promotion text and automatic shutdown.
void RunSettingsCommand(IDialogHost& host);
// "&Authorisation" (32777): customer number and password; always ends the program after OK.
void RunAuthorizationCommand(IDialogHost& host);
// "Proxy Server" (32780): the proxy, effective at once for the next request.
void RunProxyCommand(IDialogHost& host);
