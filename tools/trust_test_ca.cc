// Adds a certificate to the LocalMachine ROOT store, so that WinINet in the
// test Wine prefix trusts the test CA (tools/make_test_certs.sh):
//   trust_test_ca.exe CERT.der
// Replaces an earlier copy of the same certificate; exits 1 with a one-line
// message on failure.

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

struct FileCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct StoreCloser {
  void operator()(HCERTSTORE h) const { CertCloseStore(h, 0); }
};
struct CertFreer {
  void operator()(PCCERT_CONTEXT c) const { CertFreeCertificateContext(c); }
};
using File = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;
using Store = std::unique_ptr<std::remove_pointer_t<HCERTSTORE>, StoreCloser>;
using Cert = std::unique_ptr<const CERT_CONTEXT, CertFreer>;

int Fail(const wchar_t* what, const wchar_t* subject) {
  fwprintf(stderr, L"trust_test_ca: %ls %ls (error 0x%08lx)\n", what, subject, GetLastError());
  return 1;
}

bool ReadWholeFile(const wchar_t* path, std::vector<BYTE>* data) {
  File file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();  // nothing to close
    return false;
  }
  LARGE_INTEGER size = {};
  // A certificate is a few kB; anything past 1 MiB is not one.
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > (1 << 20)) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  data->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), data->data(), static_cast<DWORD>(data->size()), &read, nullptr)) {
    return false;
  }
  if (read != data->size()) {
    SetLastError(ERROR_HANDLE_EOF);
    return false;
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fwprintf(stderr, L"usage: trust_test_ca.exe CERT.der\n");
    return 2;
  }
  std::vector<BYTE> der;
  if (!ReadWholeFile(argv[1], &der)) return Fail(L"cannot read", argv[1]);

  Store root(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE,
                           L"ROOT"));
  if (!root) return Fail(L"cannot open the store", L"LocalMachine\\ROOT");

  PCCERT_CONTEXT added = nullptr;
  if (!CertAddEncodedCertificateToStore(root.get(), X509_ASN_ENCODING, der.data(),
                                        static_cast<DWORD>(der.size()),
                                        CERT_STORE_ADD_REPLACE_EXISTING, &added)) {
    return Fail(L"cannot add the certificate", argv[1]);
  }
  Cert cert(added);

  wchar_t name[256] = L"";
  CertGetNameStringW(cert.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
  wprintf(L"trust_test_ca: \"%ls\" is in LocalMachine\\ROOT\n", name);
  return 0;
}
