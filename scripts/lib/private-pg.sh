# Sourced by scripts/test and scripts/bench: a private PostgreSQL server
# under a folder of its own, reachable on 127.0.0.1:$PGPORT as the
# superuser role zapo (password zapo).
#   private_pg_start BASE PORT   initialises BASE/data when missing, starts
#   private_pg_stop              stops it (the data stays unless removed)
# The server collates as a Brazilian installation does (ICU, pt-BR), so that
# tests and measurements see the order a real server gives: punctuation and
# digits do not sort where their character codes would put them.
PGBIN=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)

private_pg_start() {
  PGBASE=$1
  PGPORT=$2
  local fresh=0
  if [ ! -d "$PGBASE/data" ]; then
    fresh=1
    mkdir -p "$PGBASE/sock"
    chown -R postgres:postgres "$PGBASE"
    runuser -u postgres -- "$PGBIN/initdb" -D "$PGBASE/data" -U postgres -E UTF8 --locale=C.UTF-8 \
      --locale-provider=icu --icu-locale=pt-BR \
      --auth-local=trust --auth-host=trust >/dev/null
  fi
  runuser -u postgres -- "$PGBIN/pg_ctl" -D "$PGBASE/data" -l "$PGBASE/server.log" -w -t 60 \
    -o "-c listen_addresses=127.0.0.1 -c port=$PGPORT -c unix_socket_directories=$PGBASE/sock -c fsync=off -c max_connections=200 ${PRIVATE_PG_OPTIONS:-}" start >/dev/null
  if [ "$fresh" = 1 ]; then
    psql -h "$PGBASE/sock" -p "$PGPORT" -U postgres -q -c "create role zapo login superuser password 'zapo'"
  fi
}

private_pg_stop() {
  runuser -u postgres -- "$PGBIN/pg_ctl" -D "$PGBASE/data" -m fast -w stop >/dev/null 2>&1 || true
}
