#pragma once

#include <wx/app.h>
#include <wx/frame.h>

// Top-level frame for one test, gone when the test ends.
class TestFrame {
public:
    TestFrame()
        : m_frame(new wxFrame(nullptr, wxID_ANY, "test", wxDefaultPosition, wxSize(1400, 600))) {}
    ~TestFrame() {
        m_frame->Destroy();
        wxTheApp->ProcessIdle();  // deletes the frame
    }
    TestFrame(const TestFrame&) = delete;
    TestFrame& operator=(const TestFrame&) = delete;

    wxFrame* get() const { return m_frame; }

private:
    wxFrame* m_frame;
};
