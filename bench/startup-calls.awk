# Reads Wine's trace (+timestamp,+loaddll,+relay) of start-up runs of Setup.exe, bare.exe and
# same-window.exe and prints, for the calls traced, how often each program made them and the
# median time in them until its first ShowWindow returned (nested calls included), and the
# median of that moment, from the image's loading. Each program's first run is the warm-up and
# is left out. Wine's timestamps count whole milliseconds, so single calls round; sums over a
# run do not drift, as the rounding goes both ways.
function median(list, n,    i, j, t, v) {
  if (n == 0) return 0
  split(list, v, " ")
  for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
  return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
# The median over one program's counted runs of table[program, run, name].
function across(table, program, name,    r, list) {
  list = ""
  for (r = 1; r <= runs[program]; r++) list = list " " (table[program, r, name] + 0)
  return median(list, runs[program])
}
BEGIN { FS = ":"; programs = 3; program[1] = "Setup.exe"; program[2] = "bare.exe"; program[3] = "same-window.exe" }
# A new process of one of the programs: the loader names the image first.
/trace:loaddll:.*Loaded L".*\\(Setup|bare|same-window)\.exe"/ {
  name = $0; sub(/"[^"]*$/, "", name); sub(/.*\\/, "", name)
  pid = $2; of[pid] = name; depth[pid] = 0
  # The warm-up run is read but not counted.
  done[pid] = !seen[name]++
  if (!done[pid]) { run[pid] = ++runs[name]; start[pid] = $1 }
  next
}
!($2 in of) || done[$2] { next }
{
  p = $2
  if (match($0, /:Call [a-z0-9]+\.[A-Za-z0-9]+\(/)) {
    d = ++depth[p]; callName[p, d] = substr($0, RSTART + 6, RLENGTH - 7); callTime[p, d] = $1
    if (!((of[p], run[p], "") in first)) first[of[p], run[p], ""] = ($1 - start[p]) * 1000
  } else if (match($0, /:Ret  [a-z0-9]+\.[A-Za-z0-9]+\(/) && depth[p] > 0) {
    d = depth[p]--; name = callName[p, d]; key = of[p] SUBSEP run[p] SUBSEP name
    spent[key] += ($1 - callTime[p, d]) * 1000; count[key]++; names[name] = 1
    if (name == "user32.ShowWindow") { done[p] = 1; shown[of[p], run[p], ""] = ($1 - start[p]) * 1000 }
  }
}
END {
  if (runs["Setup.exe"] == 0) { print "startup-calls: no counted Setup.exe run in the trace"; exit 1 }
  head1 = sprintf("%-32s", ""); head2 = sprintf("%-32s", "call")
  for (i = 1; i <= programs; i++) {
    head1 = head1 sprintf(" %15s", program[i]); head2 = head2 sprintf(" %6s %8s", "calls", "ms")
  }
  print head1; print head2
  sort = "sort -k3 -rn"
  for (name in names) {
    line = sprintf("%-32s", name)
    for (i = 1; i <= programs; i++)
      line = line sprintf(" %6d %8.1f", across(count, program[i], name), across(spent, program[i], name))
    print line | sort
  }
  close(sort)
  first1 = sprintf("%-32s", "loaded until the first call"); shown1 = sprintf("%-32s", "loaded until ShowWindow returned")
  for (i = 1; i <= programs; i++) {
    first1 = first1 sprintf(" %15.1f", across(first, program[i], ""))
    shown1 = shown1 sprintf(" %15.1f", across(shown, program[i], ""))
  }
  print first1; print shown1
}
