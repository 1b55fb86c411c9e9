#pragma once
// Every text of the status page, once per language. "%1" and "%2" stand for the values.

struct StatusTexts {
    const char* szTitle;
    const char* szHint;      // how to close the page
    const char* szSeparator; // between label and value in the page's plain text

    const char* szVersion;
    const char* szKundenNr;
    const char* szNoKundenNr;
    const char* szConnection;
    const char* szDirect; // "%1" the host and port
    const char* szViaProxy;

    const char* szUsedSync;
    const char* szNeuFzSync;
    const char* szNever;
    const char* szSyncAt; // "%1" the time, "%2" the outcome
    const char* szSyncOk;
    const char* szNameLookup;
    const char* szConnect;
    const char* szTimeOut;
    const char* szStatus;
    const char* szErrorAnswer;
    const char* szNoCredentials;
    const char* szHeaderTooLong;
    const char* szUsedSuccess; // the last run without a failure
    const char* szNeuFzSuccess;
    const char* szNoSuccess;
    const char* szStaleSince; // the slide's marker, "%1" the time of the last successful run
    // Counted nouns, "%1" the number: the singular for one, and for none where
    // bZeroIsSingular; the plural otherwise. Files likewise.
    const char* szRequest;
    const char* szRequests;

    // Shown only while the settings store does not take a write: "%1" the value's name.
    const char* szSettings;
    const char* szSettingSkipped;

    // The sync job: its panel while the show waits for it, and its line on the page.
    const char* szJobTitle;
    const char* szJobStep; // the label of the running sync's name
    const char* szJobRecords;
    const char* szJobRecordsValue; // "%1" stored of "%2" listed
    const char* szJobPhotos;
    const char* szJobBytes;
    const char* szJob;
    const char* szJobRunning; // "%1" seconds so far, "%2" records, "%3" photos, "%4" bytes
    const char* szJobIdle;    // "%1" seconds the last job took
    const char* szJobNone;

    const char* szSlides;
    const char* szSlidesValue; // "%1" in the catalogue, "%2" of them shown
    const char* szPictures;
    const char* szPicturesValue; // "%1" in use of "%2"
    const char* szDaten;
    const char* szBilder;
    const char* szFile;
    const char* szFiles;
    const char* szWorkDir;

    const char* szInterval;
    const char* szRunning; // "%1" seconds
    const char* szStopped;
    const char* szScreen;
    const char* szScreenValue;   // "%1" the output, "%2" x "%3" pixels, "%4" ratio, "%5" Hz
    const char* szScreenMissing; // "%1" the output chosen, "%2" the value of the one in use
    // Whether the screen is kept from blanking, and by what.
    const char* szBlanking;
    const char* szBlankingHeld; // "%1" the means
    const char* szBlankingNone;
    const char* szByDesktop;
    const char* szByXScreenSaver;
    const char* szByDpms;
    const char* szShutdown;
    const char* szToday; // "%1" the time of day
    const char* szTomorrow;
    const char* szShutdownOff;
    const char* szTrace;
    const char* szOn;
    const char* szOff;

    // The service manager's status line: the slide's place among those shown, and the last
    // sync's time and outcome.
    const char* szServiceSlide; // "%1" of "%2"
    const char* szServiceNoSlides;
    const char* szServiceSync; // "%1" the time, "%2" the outcome
    const char* szServiceNoSync;

    const char* szKilobytes; // "%1" the number
    const char* szMegabytes;
    char cDecimal;        // the decimal point of megabytes and seconds
    bool bZeroIsSingular; // "0 fichier", but "0 Dateien"
};

// French for language 2, German for any other value (the program's own language).
const StatusTexts& StatusTextsFor(int nSprache);
