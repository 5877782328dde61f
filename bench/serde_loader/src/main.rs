// Reads a file and parses it into a serde_json::Value: exit 0 when it is JSON, 1 otherwise.
use std::process::ExitCode;

fn main() -> ExitCode {
    let Some(path) = std::env::args_os().nth(1) else {
        eprintln!("usage: serde_loader PATH");
        return ExitCode::from(2);
    };
    let bytes = match std::fs::read(&path) {
        Ok(bytes) => bytes,
        Err(error) => {
            eprintln!("{error}");
            return ExitCode::from(1);
        }
    };
    match serde_json::from_slice::<serde_json::Value>(&bytes) {
        Ok(value) => {
            std::hint::black_box(&value);
            ExitCode::SUCCESS
        }
        Err(error) => {
            eprintln!("{error}");
            ExitCode::from(1)
        }
    }
}
