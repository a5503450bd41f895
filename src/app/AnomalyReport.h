#pragma once
// What a run left out or read from damaged data, collected from the lists (a ListObserver) and told
// to the office: lines for the terminal, and the window's closing question with the list behind it.
// The lists themselves do not change.
#include <set>
#include <string>
#include <vector>

#include "lists/ListObserver.h"

namespace kv::app {

class AnomalyReport : public lists::ListObserver {
public:
    // Keeps each anomaly once (the same company, list, employee, reason and detail heard again is
    // dropped), in the order heard.
    void Found(const lists::Anomaly& anomaly) override;
    void Clear() { anomalies_.clear(), seen_.clear(); }

    const std::vector<lists::Anomaly>& anomalies() const { return anomalies_; }
    // A list was made from damaged data, or left employees out: anything but a list refused for an
    // additional month (the run already says so when it refuses).
    bool DamagedData() const;
    // The employees concerned by damaged data, each company's employee counted once (an anomaly of
    // the whole archive names none).
    int EmployeeCount() const;

    // One line per anomaly, UTF-8, for a terminal:
    // "Anomalia 001 CF01 0010000049: Importo vuoto letto come zero (P240)".
    std::vector<std::string> Lines() const;
    // How many employees were left out or read from damaged data, when DamagedData(), else empty
    // (Windows-1252); the question adds whether to see the list.
    std::string Summary() const;
    std::string Question() const;
    // The anomalies for a message box (Windows-1252, one per line, CR between lines): the first
    // maxLines, then how many more there are.
    std::string ListText(size_t maxLines = 30) const;

private:
    std::vector<lists::Anomaly> anomalies_;
    std::set<std::string> seen_;  // their lines
};

// A list observer that passes every call on to each of several observers, in the order added: one
// run can feed the workbook and the report of anomalies together.
class ObserverFan : public lists::ListObserver {
public:
    void Add(lists::ListObserver* observer) {
        if (observer) observers_.push_back(observer);
    }
    void BeginCompany(const lists::ListLayout& layout, const std::string& code, const std::string& name,
                      const std::string& inps) override {
        for (auto* o : observers_) o->BeginCompany(layout, code, name, inps);
    }
    void Line(const lists::EmployeeLine& line) override {
        for (auto* o : observers_) o->Line(line);
    }
    void EndCompany(const std::array<double, lists::kObservedTotals>& totals,
                    const std::vector<std::string>& legend) override {
        for (auto* o : observers_) o->EndCompany(totals, legend);
    }
    void Found(const lists::Anomaly& anomaly) override {
        for (auto* o : observers_) o->Found(anomaly);
    }

private:
    std::vector<lists::ListObserver*> observers_;
};

}  // namespace kv::app
