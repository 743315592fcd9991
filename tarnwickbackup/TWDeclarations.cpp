#include "TWDeclarations.h"

#include <QString>

#include "savecore/TextCase.h"

namespace tarnwickbackup {

bool blnIsDestForm(const std::string& strDest) {
    return strDest.size() >= 2 && strDest[1] == ':' && strDest.back() == '\\';
}

std::string strUCase(const std::string& strText) {
    return savecore::strUCase(strText);
}

std::string strLCase(const std::string& strText) {
    return QString::fromStdString(strText).toLower().toStdString();
}

}  // namespace tarnwickbackup
