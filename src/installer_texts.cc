#include "installer_texts.h"

std::wstring InstallerText(InstallerTextId id, bool chinese) {
  switch (id) {
    case kTextInstalling:
      return chinese ? L"正在安装，时间大概3分钟，请稍作等待！~"
                     : L"Installing...It will take about 3 minute. Please wait!~";
    case kTextServerError:
      return chinese ? L"服务错误，请稍后再试！" : L"Server error, Try again!";
    case kTextShortage:
      return chinese ? L"本次游戏安装需要至少 {SPACESIZE} 的硬盘空间，请重新选择安装目录！"
                     : L"This installation requires at least {SPACESIZE} hard disk space, "
                       L"please reSelect the installation directory!";
  }
  return std::wstring();
}
