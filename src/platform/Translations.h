#pragma once

class QCoreApplication;

namespace luming {

// Qt's own texts (standard buttons 确定/取消 and the like) in Chinese, from the system's Qt
// translations; false when they are not installed (the texts then stay English).
bool InstallChineseQtTranslations(QCoreApplication& application);

} // namespace luming
