#include "app/desktop/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <iostream>

namespace oc {
namespace {

constexpr const char* kProgram = "originality-checker";

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "文章原创度检测：把中文文章切成短句，逐句在百度和360搜索中查询，按结果页的飘红计算原创度。"
        "\n"
        "Checks how original a Chinese article is against the Baidu and 360 web search.\n"
        "也接受 Qt 程序的通用选项，例如 -platform。"));
    parser.addHelpOption();
    parser.addVersionOption();
}

}  // namespace

std::optional<int> answerInformationOptions(int argc, char** argv) {
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgram));
    QCoreApplication::setApplicationVersion(QStringLiteral(OC_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    describeOptions(parser);
    // Qt's own options are unknown here; they are checked once Qt has taken them.
    parser.parse(arguments);
    if (parser.isSet(QStringLiteral("version"))) {
        std::cout << kProgram << " " << OC_VERSION << "\n";
        return 0;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QString::fromLatin1(kProgram));
        std::cout << help.toStdString();
        return 0;
    }
    return std::nullopt;
}

std::optional<int> refuseLeftoverArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) {
        std::cerr << kProgram << ": " << parser.errorText().toStdString() << "\n";
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::cerr << kProgram << ": takes no arguments: "
                  << parser.positionalArguments().join(QLatin1Char(' ')).toStdString() << "\n";
        return 2;
    }
    return std::nullopt;
}

}  // namespace oc
