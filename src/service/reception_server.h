#pragma once
// The HTTP server of the service, built so that no client can hold it up.
//
// A connection costs a worker thread only while a complete request is being answered.
// Until then it waits in the reception: one thread that watches every open connection,
// gathers what each sends, and hands a connection to a worker once its request head is
// complete. The whole head must arrive within a deadline (a client that sends it a byte at
// a time is answered 408 and closed), an idle kept-alive connection is closed after a short
// time, and the listen queue is deep. Requests sent one after the other on a connection
// without waiting for the answers (pipelining) are all answered, in order.
#include <httplib.h>

#include <chrono>
#include <memory>

class ReceptionServer : public httplib::Server {
public:
    struct Limits {
        size_t workers = 32;                                   // requests answered at once
        std::chrono::milliseconds headDeadline{5000};          // for a whole request head
        std::chrono::milliseconds keepAlive{2000};             // an idle kept-alive connection
        std::chrono::milliseconds lingerAfterAnswer{20};       // a worker waits this long for the next request
        std::chrono::milliseconds writeTimeout{5000};          // an answer that the client does not take
        size_t maxConnections = 900;                           // open at once; more are answered 503
        size_t maxHeadBytes = 16384;                           // a longer head goes to the parser, which refuses it
        int listenBacklog = 1024;
    };

    explicit ReceptionServer(Limits limits);
    ~ReceptionServer() override;

    // After bind_to_port() / bind_to_any_port(): deepens the listen queue.
    void deepenListenQueue();
    // Serves until stop(); the reception and the workers end with it.
    bool serve();

    struct Connection;
    class Reception;

private:
    bool process_and_close_socket(socket_t sock) override;
    void answer(std::unique_ptr<Connection> connection);

    Limits m_limits;
    std::unique_ptr<Reception> m_reception;
    std::unique_ptr<httplib::ThreadPool> m_workers;
};
