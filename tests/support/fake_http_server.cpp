#include "support/fake_http_server.h"

FakeHttpServer::FakeHttpServer() : m_server([this](ServerConnection& connection) { Serve(connection); }) {}

void FakeHttpServer::On(const std::string& path, Response response) {
    std::lock_guard lock(m_mutex);
    m_responses[path] = std::move(response);
}

std::string FakeHttpServer::Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(Port()) + path;
}

std::vector<std::vector<std::string>> FakeHttpServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void FakeHttpServer::Serve(ServerConnection& connection) {
    std::vector<std::string> request;
    while (auto line = connection.ReadLine()) {
        if (line->empty())
            break;
        request.push_back(*line);
    }
    if (request.empty())
        return;
    std::string path = request[0].substr(4, request[0].rfind(' ') - 4);
    Response response;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        auto found = m_responses.find(path);
        response = found != m_responses.end() ? found->second : Response{404, "Not found"};
    }
    std::string head = "HTTP/1.0 " + std::to_string(response.Status) + " Scripted\r\nServer: fake\r\n";
    if (response.AnnounceLength)
        head += "Content-Length: " +
                std::to_string(response.Length.value_or(static_cast<long long>(response.Body.size()))) + "\r\n";
    connection.Send(head + "\r\n");
    if (response.StallHalfway) {
        connection.Send(response.Body.substr(0, response.Body.size() / 2));
        connection.Stall();
        return;
    }
    connection.Send(response.Body);
    connection.Close();
}
