#include "app/desktop/program_name.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace oc {

QString programName() {
    return QStringLiteral("Zarvik文章原创度检测工具");
}

bool installQtTranslations() {
    static bool installed = false;
    if (installed || QCoreApplication::instance() == nullptr) {
        return installed;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    installed = QCoreApplication::installTranslator(translator);
    return installed;
}

}  // namespace oc
