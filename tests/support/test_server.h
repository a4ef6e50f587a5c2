#pragma once
// The private test server as a fault: stopped, started again, or frozen (the process
// paused) and thawed. Only for tests that need the server itself to fail; every other
// test leaves it alone. Each call waits until the change has taken effect.
namespace TestServer {
void stop();
void start();
void pause();   // SIGSTOP: the server takes connections and statements but never answers
void resume();  // SIGCONT

// Pauses the server for its lifetime (resumes it even when the test fails).
class Paused {
public:
    Paused() { pause(); }
    ~Paused() { resume(); }
    Paused(const Paused &) = delete;
    Paused &operator=(const Paused &) = delete;
};

// Stops the server for its lifetime, or until start() (starts it again even when the test fails).
class Stopped {
public:
    Stopped() { stop(); }
    ~Stopped()
    {
        if (!m_started)
            TestServer::start();
    }
    void start()
    {
        TestServer::start();
        m_started = true;
    }
    Stopped(const Stopped &) = delete;
    Stopped &operator=(const Stopped &) = delete;

private:
    bool m_started = false;
};
} // namespace TestServer
