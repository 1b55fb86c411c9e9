#pragma once
// The dialogs' own texts that depend on the language value (1 German, 2 French).

#include <QString>
#include <QStringList>

namespace dlgtext {
inline constexpr int kDeutsch = 1;
inline constexpr int kFranzoesisch = 2;

// The 15 categories in list order (index = stored KatID); empty for any other language.
QStringList KategorieNamen(int nSprache);
// The screen sizes in list order (index = stored ScrRes).
QStringList AufloesungNamen();

struct Message {
    QString strText;
    QString strCaption;
};
// Question before the shutdown test. The dialogs are German only, so a language without a
// translation is asked in German rather than not at all.
Message ShutdownTestQuestion(int nSprache);
// Why "Speichern" is refused while new vehicles are ticked without standard brands; German
// for a language without a translation, as above.
Message NeuFzOhneMarken(int nSprache);
// Why OK is refused while the proxy is switched on with a port that is none.
Message ProxyPortUngueltig(int nSprache);
} // namespace dlgtext
