#include "ui/xml_helper.h"

#include <cstdio>

#include "sys/string_util.h"
#include "ui/skin_values.h"

bool CXmlHelper::LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type) {
  HRSRC resource = FindResourceW(module, name, type);
  if (!resource) return false;
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) return false;
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  DWORD size = SizeofResource(module, resource);
  if (!bytes || size == 0) return false;
  // Parsed from memory: no temporary file to leak or to be swapped.
  std::string text(bytes, size);
  document_.Clear();
  document_.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  return !document_.Error();
}

bool CXmlHelper::LoadFromFile(const std::wstring& path) {
  return document_.LoadFile(WideToAnsi(path).c_str());
}

bool CXmlHelper::ParseText(const std::wstring& text) {
  document_.Clear();
  document_.Parse(WideToUtf8(text).c_str(), nullptr, TIXML_ENCODING_UTF8);
  return !document_.Error();
}

bool CXmlHelper::SaveToFile(const std::wstring& path) {
  return document_.SaveFile(WideToAnsi(path).c_str());
}

TiXmlElement* CXmlHelper::Root() { return document_.RootElement(); }

TiXmlElement* CXmlHelper::AddChild(TiXmlNode* parent, const char* name) {
  TiXmlNode* owner = parent ? parent : &document_;
  return owner->LinkEndChild(new TiXmlElement(name))->ToElement();
}

void CXmlHelper::AddDeclaration(const char* version, const char* encoding,
                                const char* standalone) {
  document_.LinkEndChild(new TiXmlDeclaration(version, encoding, standalone));
}

void CXmlHelper::AddText(TiXmlElement* element, const std::wstring& text) {
  element->LinkEndChild(new TiXmlText(WideToUtf8(text).c_str()));
}

void CXmlHelper::SetAttribute(TiXmlElement* element, const char* name,
                              const std::wstring& value) {
  element->SetAttribute(name, WideToUtf8(value).c_str());
}

void CXmlHelper::SetIntAttribute(TiXmlElement* element, const char* name, int value) {
  char text[64];
  snprintf(text, sizeof(text), "%d", value);
  element->SetAttribute(name, text);
}

std::wstring CXmlHelper::Tag(const TiXmlElement* element) {
  return element ? Utf8ToWide(element->Value()) : std::wstring();
}

std::wstring CXmlHelper::Text(const TiXmlElement* element) {
  const char* text = element ? element->GetText() : nullptr;
  return text ? Utf8ToWide(text) : std::wstring();
}

std::vector<TiXmlElement*> CXmlHelper::Children(TiXmlElement* element) {
  std::vector<TiXmlElement*> children;
  if (!element) return children;
  for (TiXmlElement* child = element->FirstChildElement(); child;
       child = child->NextSiblingElement())
    children.push_back(child);
  return children;
}

std::wstring CXmlHelper::Attribute(const TiXmlElement* element, const char* name) {
  const char* value = element ? element->Attribute(name) : nullptr;
  return value ? Utf8ToWide(value) : std::wstring();
}

int CXmlHelper::IntAttribute(const TiXmlElement* element, const char* name) {
  return ParseSkinInt(Attribute(element, name));
}
