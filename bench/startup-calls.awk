# Reads Wine's trace (+timestamp,+loaddll,+relay) of start-up runs of Setup.exe and bare.exe
# and prints, for the calls traced, how often each program made them and the median time in
# them until its first ShowWindow returned (nested calls included), and the median of that
# moment, from the image's loading. Wine's timestamps count whole milliseconds, so single
# calls round; sums over a run do not drift, as the rounding goes both ways.
function median(list, n,    i, j, t, v) {
  if (n == 0) return 0
  split(list, v, " ")
  for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
  return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
# The median over one program's runs of table[program, run, name].
function across(table, program, name,    r, list) {
  list = ""
  for (r = 1; r <= runs[program]; r++) list = list " " (table[program, r, name] + 0)
  return median(list, runs[program])
}
BEGIN { FS = ":" }
# A new process of either program: the loader names the image first.
/trace:loaddll:.*Loaded L".*\\(Setup|bare)\.exe"/ {
  program = $0 ~ /Setup\.exe"/ ? "Setup.exe" : "bare.exe"
  pid = $2; of[pid] = program; run[pid] = ++runs[program]; start[pid] = $1
  depth[pid] = 0; done[pid] = 0; next
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
  if (runs["Setup.exe"] == 0) { print "startup-calls: no Setup.exe process in the trace"; exit 1 }
  printf "%-32s %15s %15s\n", "", "Setup.exe", "bare.exe"
  printf "%-32s %6s %8s %6s %8s\n", "call", "calls", "ms", "calls", "ms"
  sort = "sort -k3 -rn"
  for (name in names)
    printf "%-32s %6d %8.1f %6d %8.1f\n", name, across(count, "Setup.exe", name),
           across(spent, "Setup.exe", name), across(count, "bare.exe", name),
           across(spent, "bare.exe", name) | sort
  close(sort)
  printf "%-32s %15.1f %15.1f\n", "loaded until the first call", across(first, "Setup.exe", ""),
         across(first, "bare.exe", "")
  printf "%-32s %15.1f %15.1f\n", "loaded until ShowWindow returned", across(shown, "Setup.exe", ""),
         across(shown, "bare.exe", "")
}
