#pragma once
// The HTTP client as the retrieval sees it: a session opens a connection to a server, the
// connection opens a request, the request is sent and its body read line by line. Every failure
// of the client is one InternetException. Closing is explicit so that callers fix its order;
// destroying an object that was not closed releases it all the same.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace bolta {

class InternetException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Access types of a session.
inline constexpr uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;  // as the system is configured
inline constexpr uint32_t INTERNET_OPEN_TYPE_PROXY = 3;      // through the named proxy

// Port 0: the default port of the service (80 for HTTP).
inline constexpr uint16_t INTERNET_INVALID_PORT_NUMBER = 0;

// Request flag: reuse an open connection to the server if there is one.
inline constexpr uint32_t INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;

// Header flag: add a header line only if the request has no header of that name yet.
inline constexpr uint32_t HTTP_ADDREQ_FLAG_ADD_IF_NEW = 0x10000000;

class HttpFile {
 public:
  virtual ~HttpFile() = default;

  // `headers`: header lines, each ended by CR LF.
  virtual void AddRequestHeaders(const std::string& headers, uint32_t flags) = 0;
  // Returns once the response head has arrived; a response of any status is success.
  virtual void SendRequest() = 0;
  // The next line of the body (LF cut off, every CR dropped); false when none is left.
  virtual bool ReadString(std::string& line) = 0;
  virtual void Close() = 0;
};

class HttpConnection {
 public:
  virtual ~HttpConnection() = default;

  // Empty `referrer` and `version` mean none and the client's default.
  virtual std::unique_ptr<HttpFile> OpenRequest(const std::string& verb,
                                                const std::string& objectName,
                                                const std::string& referrer, uint32_t context,
                                                const std::vector<std::string>& acceptTypes,
                                                const std::string& version, uint32_t flags) = 0;
  virtual void Close() = 0;
};

class InternetSession {
 public:
  virtual ~InternetSession() = default;

  // `server` may carry a ":port" suffix; `port` 0 keeps that or the service's default.
  virtual std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& server,
                                                            uint16_t port, const std::string& user,
                                                            const std::string& password) = 0;
  virtual void Close() = 0;
};

class InternetOpener {
 public:
  // `proxyName` counts only for INTERNET_OPEN_TYPE_PROXY.
  virtual std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context,
                                                uint32_t accessType,
                                                const std::string& proxyName) = 0;

 protected:
  ~InternetOpener() = default;
};

}  // namespace bolta
