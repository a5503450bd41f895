#include "app/AnomalyReport.h"

#include <algorithm>
#include <set>
#include <utility>

#include "platform/Encoding.h"

namespace kv::app {

namespace {

using lists::Anomaly;
using lists::AnomalyReason;

// Data bytes shown to people: control bytes become "?".
std::string Printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = '?';
    return text;
}

// "001 CF01 0010000049: Importo vuoto letto come zero (P240)", Windows-1252; an anomaly of the
// extraction itself names no list.
std::string Text(const Anomaly& a) {
    std::string line = Printable(a.company);
    if (!a.list.empty()) line += " " + Printable(a.list);
    if (!a.employee.empty()) line += " " + Printable(a.employee);
    line += std::string(": ") + lists::AnomalyText(a.reason);
    if (!a.detail.empty()) line += " (" + Printable(a.detail) + ")";
    return line;
}

}  // namespace

void AnomalyReport::Found(const Anomaly& anomaly) {
    if (seen_.insert(Text(anomaly)).second) anomalies_.push_back(anomaly);
}

bool AnomalyReport::DamagedData() const {
    return std::any_of(anomalies_.begin(), anomalies_.end(),
                       [](const Anomaly& a) { return a.reason != AnomalyReason::AdditionalMonthRefused; });
}

int AnomalyReport::EmployeeCount() const {
    std::set<std::pair<std::string, std::string>> employees;
    for (const Anomaly& a : anomalies_)
        if (a.reason != AnomalyReason::AdditionalMonthRefused && !a.employee.empty())
            employees.emplace(a.company, a.employee);
    return static_cast<int>(employees.size());
}

std::vector<std::string> AnomalyReport::Lines() const {
    std::vector<std::string> lines;
    for (const Anomaly& a : anomalies_) lines.push_back("Anomalia " + platform::Cp1252ToUtf8(Text(a)));
    return lines;
}

std::string AnomalyReport::Summary() const {
    if (!DamagedData()) return {};
    const int n = EmployeeCount();
    return n == 0 ? "Alcune liste sono state prodotte da dati danneggiati."
        : n == 1  ? "\xC8 stato tralasciato o letto con dati danneggiati 1 dipendente."
                  : "Sono stati tralasciati o letti con dati danneggiati " + std::to_string(n) + " dipendenti.";
}

std::string AnomalyReport::Question() const { return DamagedData() ? Summary() + "\rVedere l'elenco?" : ""; }

std::string AnomalyReport::ListText(size_t maxLines) const {
    std::string text;
    for (size_t i = 0; i < anomalies_.size() && i < maxLines; ++i) text += (i ? "\r" : "") + Text(anomalies_[i]);
    if (anomalies_.size() > maxLines)
        text +=
            (text.empty() ? "" : "\r") + ("... e altre " + std::to_string(anomalies_.size() - maxLines) + " anomalie");
    return text;
}

}  // namespace kv::app
