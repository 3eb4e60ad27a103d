# Shared by run-practice.sh and screenshots.sh (source it): the practice
# set-up the README describes, a MariaDB server on 127.0.0.1:50069 with the
# database "practice", user "quorvane" and password "practice".

practice_port=50069

# Registers the MariaDB driver under the DB2 driver name in FOLDER and
# points unixODBC there.
register_practice_driver() {  # folder
  local driver
  mkdir -p "$1"
  driver=$(dpkg -L odbc-mariadb | grep -m1 '/libmaodbc\.so$')
  printf '[IBM DB2 ODBC DRIVER]\nDescription=MariaDB standing in for DB2 (practice)\nDriver=%s\n' \
    "$driver" >"$1/odbcinst.ini"
  : >"$1/odbc.ini"
  export ODBCSYSINI="$1"
}

# Writes the settings file of a user who has logged in to the practice
# database, readable by its owner only.
write_practice_settings() {  # settings file
  mkdir -p "$(dirname "$1")"
  (umask 077 && cat >"$1" <<CONF
[Quorvane]
Database=practice
Password=practice
Port=$practice_port
Server=127.0.0.1
User=quorvane
CONF
  )
}
