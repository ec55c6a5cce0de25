#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;
class TReportJob;

// The progress window shown while a job prints: "Printing progress", a bar, the line
// "<n>%  Completed" and "Cancel", which marks the job cancelled. Not modal: printing handles
// pending events between its steps, and the button is pressed in between.
class TPrintProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit TPrintProgressWindow(TReportJob* job, QWidget* parent = nullptr);

    QProgressBar* progressBar() const { return m_bar; }
    QLabel* infoLabel() const { return m_info; }
    QPushButton* cancelButton() const { return m_cancel; }

    // A progress report of the job: taken only when it is a multiple of 5.
    void reportProgress(int percent);

  private:
    QPointer<TReportJob> m_job;
    QProgressBar* m_bar;
    QLabel* m_info;
    QPushButton* m_cancel;
};
