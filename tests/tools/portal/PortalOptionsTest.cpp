#include "PortalOptions.h"
#include "PortalConfig.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace demoportal;

namespace {

std::optional<PortalOptions> Options(QStringList arguments, QString* error = nullptr) {
    QCommandLineParser parser;
    AddPortalOptions(parser);
    arguments.prepend("zelvora-portal");
    if (!parser.parse(arguments)) {
        if (error)
            *error = parser.errorText();
        return std::nullopt;
    }
    return ReadPortalOptions(parser, error);
}

} // namespace

TEST(PortalFaults, RulesParseEveryKindAndRefuseWhatDoesNotFit) {
    const auto delay = ParseFaultRule("fn=2=delay:3000");
    ASSERT_TRUE(delay);
    EXPECT_EQ(delay->strPattern, "fn=2") << "split at the last '='";
    EXPECT_EQ(delay->kind, FaultKind::Delay);
    EXPECT_EQ(delay->nValue, 3000);

    const auto status = ParseFaultRule("/kunden_occasionen/*=status:503");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->kind, FaultKind::Status);
    EXPECT_EQ(status->nValue, 503);

    const std::pair<const char*, FaultKind> plain[] = {
        {"x=close-before-body", FaultKind::CloseBeforeBody},
        {"x=cut-body", FaultKind::CutBody},
        {"x=long-length", FaultKind::LongLength},
        {"=fehler", FaultKind::Fehler},
    };
    for (const auto& [ruleText, kind] : plain) {
        const auto rule = ParseFaultRule(ruleText);
        ASSERT_TRUE(rule) << ruleText;
        EXPECT_EQ(rule->kind, kind) << ruleText;
    }

    for (const char* bad : {"cut-body", "x=cutbody", "x=delay", "x=delay:", "x=delay:-1",
                            "x=delay:600001", "x=delay:abc", "x=status:200", "x=status:99",
                            "x=status:600", "x=fehler:1", "x=cut-body:5"}) {
        QString error;
        EXPECT_FALSE(ParseFaultRule(bad, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(PortalFaults, PatternsWithAStarAreGlobsOthersSubstrings) {
    const auto rule = [](const char* pattern) {
        return FaultRule{pattern, FaultKind::Fehler, 0, {}};
    };
    const QByteArray list = "/wsgateway/zelvora/zelvora.php?ap=X&fn=1&la=de&kn=12345&rm=1";
    const QByteArray photo = "/kunden_occasionen/12345/40101_1.jpg";
    EXPECT_TRUE(rule("fn=1").Matches(list));
    EXPECT_FALSE(rule("fn=1").Matches(photo));
    EXPECT_TRUE(rule("").Matches(photo));
    EXPECT_TRUE(rule("/kunden_occasionen/*").Matches(photo));
    EXPECT_FALSE(rule("/kunden_occasionen/*").Matches(list));
    EXPECT_TRUE(rule("*fn=1*").Matches(list)) << "a star also runs over '/', '?' and '&'";
    EXPECT_FALSE(rule("kunden_occasionen/*").Matches(photo)) << "a glob covers the whole target";
    EXPECT_TRUE(rule("*.jpg").Matches(photo));
    EXPECT_FALSE(rule("zelvora.php?ap=Y").Matches(list)) << "'?' is literal without a star";
}

TEST(PortalOptions, CommandLineGivesDefaultsAndRefusesWhatIsUnsafeOrWrong) {
    QTemporaryDir data;
    const QString folder = data.path();

    const auto defaults = Options({"--data", folder});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->strData, folder);
    EXPECT_EQ(defaults->strBind, "127.0.0.1");
    EXPECT_EQ(defaults->nPort, kDefaultPort);
    EXPECT_TRUE(defaults->config.faults.empty());
    EXPECT_TRUE(defaults->config.strLogFile.isEmpty());

    const auto full = Options({"--data", folder, "--port", "0", "--log", "/tmp/x.log", "--fault",
                               "fn=2=delay:3000", "--fault", "/kunden_occasionen/*=cut-body"});
    ASSERT_TRUE(full);
    EXPECT_EQ(full->nPort, 0);
    EXPECT_EQ(full->config.strLogFile, "/tmp/x.log");
    ASSERT_EQ(full->config.faults.size(), 2u);
    EXPECT_EQ(full->config.faults[1].kind, FaultKind::CutBody);

    const auto generate = Options({"--generate", folder + "/neu"});
    ASSERT_TRUE(generate);
    EXPECT_EQ(generate->strGenerate, folder + "/neu");

    EXPECT_TRUE(Options({"--data", folder, "--bind", "127.0.0.2"}));
    EXPECT_TRUE(Options({"--data", folder, "--bind", "::1"}));
    EXPECT_TRUE(Options({"--data", folder, "--bind", "0.0.0.0", "--allow-remote"}));

    const QStringList refused[] = {
        {},
        {"--data", folder + "/fehlt"},
        {"--data", folder, "--port", "65536"},
        {"--data", folder, "--port", "-1"},
        {"--data", folder, "--port", "x"},
        {"--data", folder, "--bind", "0.0.0.0"},
        {"--data", folder, "--bind", "192.168.1.5"},
        {"--data", folder, "--bind", "127.0.0.300"},
        {"--data", folder, "--fault", "fn=2"},
        {"--data", folder, "--unknown"},
    };
    for (const QStringList& arguments : refused) {
        QString error;
        EXPECT_FALSE(Options(arguments, &error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty()) << arguments.join(' ').toStdString();
    }
}
