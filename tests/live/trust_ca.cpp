// The live TLS tests under wine: zelkor.exe trusts the roots of the current user's store, so the
// test's throwaway CA goes into the Root store of the test's wine prefix, and out again.
//
//   live_trust_ca add CA.pem      trust it (certificates of the same subject, left by an
//                                 earlier run, are taken out first)
//   live_trust_ca remove CA.pem   trust it no more
//
// Only under wine: on a real Windows this would change what the user's own programs trust.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int Fail(const char* what, const char* detail = "") {
  std::fprintf(stderr, "live_trust_ca: %s%s (error 0x%08lX)\n", what, detail, ::GetLastError());
  return 1;
}

// Takes out every certificate with the subject of `certificate`; how many there were.
int RemoveSameSubject(HCERTSTORE store, PCCERT_CONTEXT certificate) {
  int removed = 0;
  while (PCCERT_CONTEXT found = ::CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME,
                                                             &certificate->pCertInfo->Subject, nullptr)) {
    if (!::CertDeleteCertificateFromStore(found)) break;  // frees `found` either way
    ++removed;
  }
  return removed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "add") != 0 && std::strcmp(argv[1], "remove") != 0)) {
    std::fprintf(stderr, "usage: live_trust_ca add|remove CA.pem\n");
    return 2;
  }
  if (!UnderWine()) {
    std::fprintf(stderr, "live_trust_ca: runs only under wine, in a test's own prefix\n");
    return 2;
  }
  std::ifstream file(argv[2], std::ios::binary);
  const std::string pem((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file && pem.empty()) return Fail("cannot read ", argv[2]);
  DWORD size = 0;
  if (!::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr))
    return Fail("no PEM certificate in ", argv[2]);
  std::string der(size, '\0');
  ::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                         reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr);
  PCCERT_CONTEXT certificate =
      ::CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), size);
  if (certificate == nullptr) return Fail("not a certificate: ", argv[2]);

  // The registry's store itself: wine's system store "Root" is a collection whose deletions do
  // not reach the registry.
  HCERTSTORE root =
      ::CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  if (root == nullptr) return Fail("cannot open the current user's Root store");
  int status = 0;
  const int removed = RemoveSameSubject(root, certificate);
  if (std::strcmp(argv[1], "add") == 0) {
    if (::CertAddCertificateContextToStore(root, certificate, CERT_STORE_ADD_REPLACE_EXISTING, nullptr))
      std::printf("live_trust_ca: trusted %s%s\n", argv[2], removed > 0 ? " (an earlier one of its name taken out)" : "");
    else
      status = Fail("cannot add the certificate to the Root store");
  } else {
    std::printf("live_trust_ca: %s\n", removed > 0 ? "no longer trusted" : "was not trusted");
  }
  ::CertFreeCertificateContext(certificate);
  ::CertCloseStore(root, 0);
  return status;
}
