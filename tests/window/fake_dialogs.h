#pragma once
// A dialog service for window tests: answers come from queues, and every question
// asked is recorded. Nothing ever waits for a user.

#include <QCoreApplication>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "platform/qt/dialogs.h"
#include "zorbit/codes.h"

class FakeDialogs final : public vex::DialogService {
  public:
    struct Question {
        QString title, text;
    };
    int32_t Message(QWidget*, const QString& title, const QString& text, int32_t style,
                    int32_t) override {
        asked.push_back({title, text});
        if (!messages.isEmpty()) return messages.takeFirst();
        if ((style & 0xF) == ZORBIT_MB_OK) return ZORBIT_ID_OK;
        ++unanswered;
        return vex::kIdCancel;
    }
    std::optional<QString> InputText(QWidget*, const QString& title, const QString& prompt,
                                     const QString&) override {
        asked.push_back({title, prompt});
        if (inputs.isEmpty()) ++unanswered;
        return inputs.isEmpty() ? std::nullopt : inputs.takeFirst();
    }
    QString OpenFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return FileName(title);
    }
    QString SaveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return FileName(title);
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override {
        asked.push_back({QStringLiteral("Font"), {}});
        if (fonts.isEmpty()) ++unanswered;
        return fonts.isEmpty() ? std::nullopt : fonts.takeFirst();
    }
    // Progress dialogs are recorded apart from the questions: whether one shows depends
    // on time. Each step lets the events run, as the real one does.
    std::unique_ptr<vex::ProgressDialog> Progress(QWidget*, const QString& title,
                                                  const QString& text) override {
        progress.push_back({title, text});
        return std::make_unique<Steps>(*this);
    }
    void Reset() { *this = FakeDialogs(); }
    QStringList AskedTitles() const {
        QStringList titles;
        for (const Question& q : asked)
            titles << q.title;
        return titles;
    }

    QList<Question> asked;
    QList<int32_t> messages; // answers to Yes/No(/Cancel) boxes; OK boxes need none
    QList<std::optional<QString>> inputs;
    QStringList files; // "" dismisses the dialog
    QList<std::optional<QFont>> fonts;
    QList<Question> progress; // progress dialogs shown
    QList<qint64> steps;      // the "done" of every progress step
    int cancelAtStep = -1;    // Cancel pressed at this step (0 = the first), -1 never
    int unanswered = 0;

  private:
    class Steps final : public vex::ProgressDialog {
      public:
        explicit Steps(FakeDialogs& d) : d_(d) {}
        bool Step(int64_t done, int64_t) override {
            d_.steps.push_back(done);
            QCoreApplication::processEvents();
            return d_.steps.size() - 1 != d_.cancelAtStep;
        }

      private:
        FakeDialogs& d_;
    };

    QString FileName(const QString& title) {
        asked.push_back({title, {}});
        if (files.isEmpty()) ++unanswered;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
};
