#include "server/moderation.hpp"

#include <cstdio>

#include "server/submission_rules.hpp"

namespace server {
namespace {

std::string column(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string rightAligned(const std::string& text, std::size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

int listRecent(const ServerOptions& options, ScoreStore& store, std::ostream& out, std::ostream& err) {
  const StoreResult<std::vector<SubmissionRecord>> rows = store.recent(options.count);
  if (!rows.ok()) {
    err << "zebrolite-scored: " << describe(rows.status) << "\n";
    return 1;
  }
  out << rightAligned("ID", 8) << "  " << column("TIME", 20) << "  " << rightAligned("SCORE", 10) << "  "
      << column("NAME", 10) << "STATE\n";
  for (const SubmissionRecord& row : rows.value) {
    std::string state = row.hidden ? "hidden" : "";
    if (row.banned) state += state.empty() ? "banned name" : ", banned name";
    out << rightAligned(std::to_string(row.id), 8) << "  " << formatRfc3339(row.time) << "  "
        << rightAligned(std::to_string(row.score), 10) << "  " << column(row.name, 10) << state << "\n";
  }
  return 0;
}

int listAudit(const ServerOptions& options, ScoreStore& store, std::ostream& out, std::ostream& err) {
  const StoreResult<std::vector<AuditRecord>> rows = store.audit(options.count);
  if (!rows.ok()) {
    err << "zebrolite-scored: " << describe(rows.status) << "\n";
    return 1;
  }
  out << column("TIME", 20) << "  " << column("ACTION", 8) << column("SUBJECT", 12) << "BY\n";
  for (const AuditRecord& row : rows.value) {
    out << formatRfc3339(row.time) << "  " << column(row.action, 8) << column(row.subject, 12) << row.actor << "\n";
  }
  return 0;
}

}  // namespace

int runModeration(const ServerOptions& options, ScoreStore& store, std::ostream& out, std::ostream& err, UnixTime now,
                  const std::string& actor) {
  switch (options.command) {
    case Command::List: return listRecent(options, store, out, err);
    case Command::Audit: return listAudit(options, store, out, err);
    case Command::Hide:
    case Command::Unhide: {
      const bool hide = options.command == Command::Hide;
      const StoreResult<bool> done = store.setHidden(std::stoll(options.argument), hide, actor, now);
      if (done.status == StoreStatus::NotFound) {
        err << "zebrolite-scored: no submission has the id " << options.argument << "\n";
        return 1;
      }
      if (!done.ok()) {
        err << "zebrolite-scored: " << describe(done.status) << "\n";
        return 1;
      }
      out << "submission " << options.argument << (done.value ? " is now " : " was already ")
          << (hide ? "hidden" : "shown") << "\n";
      return 0;
    }
    case Command::Ban:
    case Command::Unban: {
      if (const std::optional<std::string> refusal = nameRefusal(options.argument)) {
        err << "zebrolite-scored: no submission can have that name: " << *refusal << "\n";
        return 2;
      }
      const bool ban = options.command == Command::Ban;
      const StoreResult<bool> done = store.setBanned(options.argument, ban, actor, now);
      if (!done.ok()) {
        err << "zebrolite-scored: " << describe(done.status) << "\n";
        return 1;
      }
      out << "the name " << options.argument << (done.value ? " is now " : " was already ")
          << (ban ? "banned" : "allowed") << "\n";
      return 0;
    }
    default:
      err << "zebrolite-scored: not a moderation command\n";
      return 2;
  }
}

}  // namespace server
