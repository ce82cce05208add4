// One TinyXML document: loads a skin document from a resource of the
// executable (or a file or text), and reads attributes as UTF-16 text.
//
// Thread affinity: the UI thread. Ownership: owns its document; elements
// handed out live as long as the helper.

#ifndef UI_XML_HELPER_H_
#define UI_XML_HELPER_H_

#include <windows.h>

#include <tinyxml.h>

#include <string>
#include <vector>

class CXmlHelper {
 public:
  CXmlHelper() = default;
  virtual ~CXmlHelper() = default;
  CXmlHelper(const CXmlHelper&) = delete;
  CXmlHelper& operator=(const CXmlHelper&) = delete;

  // Parses the resource |name| of type |type| (e.g. "xml") straight from the
  // module's memory; the UTF-8 byte-order mark is recognised.
  bool LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type);
  bool LoadFromFile(const std::wstring& path);
  // UTF-16 text, parsed as UTF-8.
  bool ParseText(const std::wstring& text);
  bool SaveToFile(const std::wstring& path);

  TiXmlElement* Root();

  // Document building.
  TiXmlElement* AddChild(TiXmlNode* parent, const char* name);
  void AddDeclaration(const char* version, const char* encoding, const char* standalone);
  void AddText(TiXmlElement* element, const std::wstring& text);
  static void SetAttribute(TiXmlElement* element, const char* name, const std::wstring& value);
  static void SetIntAttribute(TiXmlElement* element, const char* name, int value);

  static std::wstring Tag(const TiXmlElement* element);
  static std::wstring Text(const TiXmlElement* element);
  static std::vector<TiXmlElement*> Children(TiXmlElement* element);
  // Empty when missing.
  static std::wstring Attribute(const TiXmlElement* element, const char* name);
  // 0 when missing or not a number; taken modulo 2^32.
  static int IntAttribute(const TiXmlElement* element, const char* name);

 private:
  TiXmlDocument document_;
};

#endif  // UI_XML_HELPER_H_
